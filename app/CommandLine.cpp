#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <array>
#include <utility>

namespace varnoset {

namespace {

// The options that send one command to the running copy, beside --capture.
constexpr std::array<std::pair<const char*, Command>, 5> kCommandOptions{{
    {"print-desktop", Command::PrintDesktop},
    {"open", Command::Open},
    {"suspend", Command::Suspend},
    {"resume", Command::Resume},
    {"quit", Command::Quit},
}};

constexpr std::array<std::pair<const char*, Command>, 4> kCaptureKinds{{
    {"desktop", Command::CaptureDesktop},
    {"window", Command::CaptureWindow},
    {"client", Command::CaptureClient},
    {"region", Command::CaptureRegion},
}};

Invocation usageError(const QString& why) {
    Invocation invocation;
    invocation.kind = Invocation::Kind::UsageError;
    invocation.error = why;
    return invocation;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: varnoset [OPTION]\n"
        "Without an option Varnoset starts in the notification area, or does nothing when it\n"
        "already runs. An option sends its command to the running copy, starting one first\n"
        "when none runs.\n"
        "\n"
        "  --capture KIND     capture as the hotkey does; KIND is desktop, window (with its\n"
        "                     frame), client (the window's client area) or region\n"
        "  --print-desktop    print the whole screen at once (the tray's \"Print the Desktop\")\n"
        "  --open             capture the screen into the main window (the tray's \"Open\")\n"
        "  --suspend          suspend the hotkey\n"
        "  --resume           resume the hotkey\n"
        "  --quit             close Varnoset, keeping its window position and folders\n"
        "  --bind-keys        let the desktop send the hotkey and Alt with it to Varnoset: bind\n"
        "                     them in the desktop's own shortcut settings, keeping what they held\n"
        "  --unbind-keys      give the keys back to the desktop exactly as they were\n"
        "  -h, --help         show this help and exit\n"
        "  -v, --version      show the version and exit\n"
        "\n"
        "Exit status: 0 when the command was delivered (the keys bound or given back), 1 when it\n"
        "could not be (no running copy could be reached, no display, the desktop's settings\n"
        "refused), 2 for a usage error.\n");
}

Invocation parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption capture(QStringLiteral("capture"), {}, QStringLiteral("kind"));
    const QCommandLineOption bindKeys(QStringLiteral("bind-keys"));
    const QCommandLineOption unbindKeys(QStringLiteral("unbind-keys"));
    parser.addOptions({help, version, capture, bindKeys, unbindKeys});
    for (const auto& [name, command] : kCommandOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(help)) {
        return Invocation{Invocation::Kind::Help, {}, {}};
    }
    if (parser.isSet(version)) {
        return Invocation{Invocation::Kind::Version, {}, {}};
    }
    // Every command given counts, also one option given twice.
    const QStringList given = parser.optionNames();
    const auto commands = std::count_if(given.begin(), given.end(), [](const QString& name) {
        return name == QLatin1String("capture") || name.endsWith(QLatin1String("bind-keys")) ||
               std::any_of(
                   kCommandOptions.begin(), kCommandOptions.end(),
                   [&name](const auto& option) { return name == QLatin1String(option.first); });
    });
    if (commands > 1) {
        return usageError(QStringLiteral("Give one command at a time."));
    }
    if (parser.isSet(bindKeys) || parser.isSet(unbindKeys)) {
        return Invocation{
            parser.isSet(bindKeys) ? Invocation::Kind::BindKeys : Invocation::Kind::UnbindKeys,
            {},
            {}};
    }
    std::optional<Command> chosen;
    if (parser.isSet(capture)) {
        const QString kind = parser.value(capture);
        for (const auto& [name, command] : kCaptureKinds) {
            if (kind == QLatin1String(name)) {
                chosen = command;
            }
        }
        if (!chosen) {
            return usageError(QStringLiteral("Unknown capture kind '%1'.").arg(kind));
        }
    }
    for (const auto& [name, command] : kCommandOptions) {
        if (parser.isSet(QString::fromLatin1(name))) {
            chosen = command;
        }
    }
    if (!chosen) {
        return Invocation{};
    }
    return Invocation{Invocation::Kind::Command, chosen, {}};
}

}  // namespace varnoset
