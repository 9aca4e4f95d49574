#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/CommandMessage.h"
#include "app/DesktopKeys.h"
#include "capture/KeyTable.h"
#include "core/Error.h"
#include "tests/support/ScratchFolder.h"

using namespace varnoset;

namespace {

Invocation parse(const QStringList& options) {
    return parseCommandLine(QStringList{QStringLiteral("varnoset")} + options);
}

}  // namespace

TEST(CommandLine, EachOptionIsOneCommandAndAnythingElseAUsageError) {
    using Kind = Invocation::Kind;
    struct Case {
        QStringList options;
        Kind kind;
        std::optional<Command> command;
        int delay = 0;
    };
    const Case cases[] = {
        {{}, Kind::Start, {}},
        {{"--help"}, Kind::Help, {}},
        {{"-h"}, Kind::Help, {}},
        {{"--version"}, Kind::Version, {}},
        {{"--capture", "desktop"}, Kind::Command, Command::CaptureDesktop},
        {{"--capture=window"}, Kind::Command, Command::CaptureWindow},
        {{"--capture", "client"}, Kind::Command, Command::CaptureClient},
        {{"--capture", "region"}, Kind::Command, Command::CaptureRegion},
        {{"--print-desktop"}, Kind::Command, Command::PrintDesktop},
        {{"--open"}, Kind::Command, Command::Open},
        {{"--suspend"}, Kind::Command, Command::Suspend},
        {{"--resume"}, Kind::Command, Command::Resume},
        {{"--quit"}, Kind::Command, Command::Quit},
        {{"--capture"}, Kind::UsageError, {}},
        {{"--capture", "sideways"}, Kind::UsageError, {}},
        {{"--capture", "Desktop"}, Kind::UsageError, {}},
        {{"--bogus"}, Kind::UsageError, {}},
        {{"-x"}, Kind::UsageError, {}},
        {{"desktop"}, Kind::UsageError, {}},
        {{"--open", "--quit"}, Kind::UsageError, {}},
        {{"--open", "--open"}, Kind::UsageError, {}},
        {{"--capture", "desktop", "--capture", "window"}, Kind::UsageError, {}},
        {{"--quit", "extra"}, Kind::UsageError, {}},
        {{"--hotkey"}, Kind::Command, Command::Hotkey},
        {{"--hotkey", "alt"}, Kind::Command, Command::HotkeyAlt},
        {{"--hotkey", "ctrl"}, Kind::UsageError, {}},
        {{"--delay", "5", "--capture", "desktop"}, Kind::Command, Command::CaptureDesktop, 5},
        {{"--hotkey", "alt", "--delay=60"}, Kind::Command, Command::HotkeyAlt, 60},
        {{"--delay", "0", "--open"}, Kind::UsageError, {}},
        {{"--delay", "61", "--open"}, Kind::UsageError, {}},
        {{"--delay", "5"}, Kind::UsageError, {}},
        {{"--delay", "5", "--quit"}, Kind::UsageError, {}},
    };
    for (const Case& c : cases) {
        const Invocation got = parse(c.options);
        const std::string what = c.options.join(' ').toStdString();
        EXPECT_EQ(got.kind, c.kind) << what;
        EXPECT_EQ(got.request ? std::optional(got.request->command) : std::nullopt, c.command)
            << what;
        EXPECT_EQ(got.request ? got.request->delaySeconds : 0, c.delay) << what;
        EXPECT_EQ(got.error.isEmpty(), c.kind != Kind::UsageError) << what;
    }
}

TEST(CommandMessage, OnlyOneWholeKnownLineIsARequest) {
    for (const Command command :
         {Command::CaptureDesktop, Command::CaptureWindow, Command::CaptureClient,
          Command::CaptureRegion, Command::Hotkey, Command::HotkeyAlt, Command::PrintDesktop,
          Command::Open, Command::Suspend, Command::Resume, Command::Quit}) {
        for (const int delay : {0, kMinDelaySeconds, kMaxDelaySeconds}) {
            const Request request{command, takesDelay(command) ? delay : 0};
            const QByteArray message = encodeRequest(request);
            EXPECT_LE(message.size(), kMaxCommandMessage);
            EXPECT_EQ(decodeRequest(message), request) << message.constData();
        }
    }
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("quit"), QByteArray("quit\nquit\n"), QByteArray("QUIT\n"),
          QByteArray("capture\n"), QByteArray("capture  desktop\n"), QByteArray("quit\r\n"),
          QByteArray("open\0\n", 6), QByteArray(kMaxCommandMessage, 'x') + '\n',
          QByteArray("open") + QByteArray(kMaxCommandMessage, ' ') + '\n',
          QByteArray("delay 61 open\n"), QByteArray("delay 05 open\n"), QByteArray("delay 5\n"),
          QByteArray("delay 5 quit\n")}) {
        EXPECT_FALSE(decodeRequest(bad).has_value()) << bad.toPercentEncoding().constData();
    }
}

namespace {

// Records what the command line binds and gives back; "Xfce" stands for any desktop.
class RecordingShortcuts : public DesktopShortcuts {
public:
    std::string desktopId() const override { return "Xfce"; }
    ShortcutPlan plan(const std::vector<ShortcutKey>&) override { return {}; }
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) override {
        bound = keys.front().symbolName;
        return {{"/commands/custom/" + bound, {"xfce4-screenshooter", true}, "varnoset"}};
    }
    void unbind(const std::vector<SavedSetting>& saved) override {
        givenBack.push_back(saved.front().key);
        bound.clear();
    }
    std::string bound;
    std::vector<std::string> givenBack;
};

}  // namespace

// The store holds only the binding before the first start: binding again after giving the keys
// back still finds PrintScreen; a binding that cannot be recorded is given back at once.
TEST(DesktopKeysCommand, BindsGivesBackAndBindsAgainBeforeTheFirstStart) {
    test::ScratchFolder scratch;
    RecordingShortcuts desktop;
    EXPECT_EQ(runDesktopKeysCommand(desktop, false), 1);  // nothing to give back
    EXPECT_EQ(runDesktopKeysCommand(desktop, true), 0);
    EXPECT_EQ(desktop.bound, "Print");
    EXPECT_EQ(runDesktopKeysCommand(desktop, true), 1);  // bound already
    EXPECT_EQ(runDesktopKeysCommand(desktop, false), 0);
    EXPECT_EQ(runDesktopKeysCommand(desktop, true), 0);
    EXPECT_EQ(desktop.bound, "Print");
    EXPECT_EQ(runDesktopKeysCommand(desktop, false), 0);
    EXPECT_EQ(desktop.givenBack.size(), 2u);

    EXPECT_THROW(bindAndRecord(desktop, kPrintScreenKey,
                               [](const DesktopBinding&) { throw Error("disk full"); }),
                 Error);
    EXPECT_TRUE(desktop.bound.empty());
    EXPECT_EQ(desktop.givenBack.size(), 3u);
}
