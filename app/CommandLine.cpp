#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <array>
#include <utility>

namespace varnoset {

namespace {

// The options that send one command to the running copy, beside --capture and --hotkey.
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

constexpr char kDelayPlacement[] =
    "--delay goes before --capture, --hotkey, --print-desktop or --open.";

Invocation usageError(const QString& why) {
    Invocation invocation;
    invocation.kind = Invocation::Kind::UsageError;
    invocation.error = why;
    return invocation;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: varnoset [--delay SECONDS] [OPTION]\n"
        "Without an option Varnoset starts in the notification area, or does nothing when it\n"
        "already runs. An option sends its command to the running copy, starting one first\n"
        "when none runs.\n"
        "\n"
        "  --hotkey           do what the hotkey alone does in the chosen capture mode\n"
        "  --hotkey alt       do what Alt with the hotkey does (\"Get only Client Area of\n"
        "                     Window\" included); bind these two to the key in the desktop\n"
        "  --capture KIND     capture one kind as the hotkey would; KIND is desktop, window\n"
        "                     (with its frame), client (the window's client area) or region\n"
        "  --print-desktop    print the whole screen at once (the tray's \"Print the Desktop\")\n"
        "  --open             capture the screen into the main window (the tray's \"Open\")\n"
        "  --suspend          suspend the hotkey\n"
        "  --resume           resume the hotkey\n"
        "  --quit             close Varnoset, keeping its window position and folders\n"
        "  --delay SECONDS    before --capture, --hotkey, --print-desktop or --open: return at\n"
        "                     once and capture after 1 to 60 seconds\n"
        "  --bind-keys        let the desktop send the hotkey and Alt with it to Varnoset: bind\n"
        "                     them in the desktop's own shortcut settings, keeping what they held\n"
        "  --unbind-keys      give the keys back to the desktop exactly as they were\n"
        "  -h, --help         show this help and exit\n"
        "  -v, --version      show the version and exit\n"
        "\n"
        "Exit status: 0 when the command was carried out (a delayed one: when its wait began),\n"
        "1 when it was not (the reason is printed: no running copy could be reached, no\n"
        "display, a rectangle not dragged, Varnoset suspended for --hotkey, the desktop's\n"
        "shortcut settings not changed), 2 for a usage error.\n");
}

Invocation parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption capture(QStringLiteral("capture"), {}, QStringLiteral("kind"));
    const QCommandLineOption hotkey(QStringLiteral("hotkey"));
    const QCommandLineOption delay(QStringLiteral("delay"), {}, QStringLiteral("seconds"));
    const QCommandLineOption bindKeys(QStringLiteral("bind-keys"));
    const QCommandLineOption unbindKeys(QStringLiteral("unbind-keys"));
    parser.addOptions({help, version, capture, hotkey, delay, bindKeys, unbindKeys});
    for (const auto& [name, command] : kCommandOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    // "alt" is the one word that may follow an option: --hotkey alt.
    QStringList stray = parser.positionalArguments();
    const bool withAlt = parser.isSet(hotkey) && stray == QStringList{QStringLiteral("alt")};
    if (withAlt) {
        stray.clear();
    }
    if (!stray.isEmpty()) {
        return usageError(QStringLiteral("Unexpected argument '%1'.").arg(stray.constFirst()));
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
        return name == QLatin1String("capture") || name == QLatin1String("hotkey") ||
               name.endsWith(QLatin1String("bind-keys")) ||
               std::any_of(
                   kCommandOptions.begin(), kCommandOptions.end(),
                   [&name](const auto& option) { return name == QLatin1String(option.first); });
    });
    if (commands > 1) {
        return usageError(QStringLiteral("Give one command at a time."));
    }
    if (parser.isSet(bindKeys) || parser.isSet(unbindKeys)) {
        if (parser.isSet(delay)) {
            return usageError(QString::fromLatin1(kDelayPlacement));
        }
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
    if (parser.isSet(hotkey)) {
        chosen = withAlt ? Command::HotkeyAlt : Command::Hotkey;
    }
    for (const auto& [name, command] : kCommandOptions) {
        if (parser.isSet(QString::fromLatin1(name))) {
            chosen = command;
        }
    }
    Request request;
    if (parser.isSet(delay)) {
        const QStringList values = parser.values(delay);
        const std::optional<int> seconds = parseDelaySeconds(values.constLast().toUtf8());
        if (values.size() > 1 || !seconds) {
            return usageError(QStringLiteral("The delay is a whole number of seconds from %1 to "
                                             "%2, not '%3'.")
                                  .arg(kMinDelaySeconds)
                                  .arg(kMaxDelaySeconds)
                                  .arg(values.join(QLatin1Char(' '))));
        }
        if (!chosen || !takesDelay(*chosen)) {
            return usageError(QString::fromLatin1(kDelayPlacement));
        }
        request.delaySeconds = *seconds;
    }
    if (!chosen) {
        return Invocation{};
    }
    request.command = *chosen;
    return Invocation{Invocation::Kind::Command, request, {}};
}

}  // namespace varnoset
