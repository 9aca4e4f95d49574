#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/CommandMessage.h"

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
        std::optional<Request> request;
    };
    using C = Command;
    const Case cases[] = {
        {{}, Kind::Start, {}},
        {{"--help"}, Kind::Help, {}},
        {{"-h"}, Kind::Help, {}},
        {{"--version"}, Kind::Version, {}},
        {{"--capture", "desktop"}, Kind::Command, Request{C::CaptureDesktop}},
        {{"--capture=window"}, Kind::Command, Request{C::CaptureWindow}},
        {{"--capture", "client"}, Kind::Command, Request{C::CaptureClient}},
        {{"--capture", "region"}, Kind::Command, Request{C::CaptureRegion}},
        {{"--print-desktop"}, Kind::Command, Request{C::PrintDesktop}},
        {{"--open"}, Kind::Command, Request{C::Open}},
        {{"--suspend"}, Kind::Command, Request{C::Suspend}},
        {{"--resume"}, Kind::Command, Request{C::Resume}},
        {{"--quit"}, Kind::Command, Request{C::Quit}},
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
        {{"--hotkey"}, Kind::Command, Request{C::Hotkey}},
        {{"--hotkey", "alt"}, Kind::Command, Request{C::HotkeyAlt}},
        {{"--hotkey", "ctrl"}, Kind::UsageError, {}},
        {{"--hotkey", "--capture", "window"}, Kind::UsageError, {}},
        {{"--delay", "5", "--capture", "desktop"}, Kind::Command, Request{C::CaptureDesktop, 5}},
        {{"--hotkey", "alt", "--delay=60"}, Kind::Command, Request{C::HotkeyAlt, 60}},
        {{"--delay", "1", "--open"}, Kind::Command, Request{C::Open, 1}},
        {{"--delay", "0", "--open"}, Kind::UsageError, {}},
        {{"--delay", "61", "--open"}, Kind::UsageError, {}},
        {{"--delay", "2.5", "--open"}, Kind::UsageError, {}},
        {{"--delay", "5"}, Kind::UsageError, {}},
        {{"--delay", "5", "--quit"}, Kind::UsageError, {}},
        {{"--delay", "5", "--delay", "6", "--open"}, Kind::UsageError, {}},
    };
    for (const Case& c : cases) {
        const Invocation got = parse(c.options);
        const std::string what = c.options.join(' ').toStdString();
        EXPECT_EQ(got.kind, c.kind) << what;
        EXPECT_EQ(got.request, c.request) << what;
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
    EXPECT_EQ(encodeRequest(Request{Command::HotkeyAlt, 5}), "delay 5 hotkey alt\n");
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
