// The options file as the real program writes and reads it, driven the way a user would: starts
// from an empty options folder, a polite end, files edited by hand, a broken file.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QThread>
#include <cmath>

#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using varnoset::test::fileContents;
using varnoset::test::waitUntil;
using varnoset::test::writeFile;

namespace {

const char* const kSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup]";
constexpr std::uint32_t kPrintKeysym = 0xff61;
constexpr std::uint32_t kF5Keysym = 0xffc2;
constexpr int kBadAccess = 10;

// The values of the options key, by name as written, with their data as written after the "=".
// Every name appears once in the result; `count` says how often each (case-folded) was found.
struct Section {
    QMap<QString, QString> values;
    QMap<QString, int> count;
    bool found = false;
};

Section optionsSection(const QString& text) {
    Section section;
    bool inside = false;
    const QRegularExpression value(QStringLiteral("^\"([^\"]+)\"=(.*)$"));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inside = trimmed == QLatin1String(kSection);
            section.found = section.found || inside;
            continue;
        }
        const auto m = value.match(trimmed);
        if (inside && m.hasMatch()) {
            section.values.insert(m.captured(1), m.captured(2));
            ++section.count[m.captured(1).toLower()];
        }
    }
    return section;
}

int roundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// Pressing a key that opens nothing: the window stays hidden for a good while.
bool staysHidden(Varnoset& app, int forMs = 1500) {
    return !waitUntil([&] { return app.mainWindow().has_value(); }, forMs);
}

std::optional<WindowId> waitForMainWindow(Varnoset& app) {
    std::optional<WindowId> window;
    waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 8000);
    return window;
}

QStringList brokenFilesBeside(const QString& store) {
    const QFileInfo info(store);
    return QDir(info.path())
        .entryList({info.fileName() + QStringLiteral(".broken-*")}, QDir::Files);
}

}  // namespace

TEST(ProgramSettings, FirstStartWritesTheDefaultsAndAPoliteEndAddsPositionAndFolders) {
    PrivateConfigHome config;
    ASSERT_TRUE(QDir().mkpath(QDir::homePath() + QStringLiteral("/Pictures")));
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    const QString text = QString::fromUtf8(fileContents(storeFile(config)));
    ASSERT_TRUE(text.startsWith(QStringLiteral("REGEDIT4\n\n")) ||
                text.startsWith(QStringLiteral("REGEDIT4\r\n\r\n")))
        << text.left(40).toStdString();
    const Section first = optionsSection(text);
    ASSERT_TRUE(first.found) << text.toStdString();

    // The first-start list: 36 values, the folders not among them.
    const QStringList names = firstStartOptionNames();
    ASSERT_EQ(names.size(), 36);
    QStringList written = first.values.keys();
    QStringList expected = names;
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);

    const QMap<QString, QString> defaults = {
        {"Monochrom", dword(0)},     {"Centered", dword(1)},
        {"Stretched", dword(0)},     {"NormalSize", dword(1)},
        {"Landscape", dword(1)},     {"Portrait", dword(0)},
        {"Proportion", dword(1)},    {"AutoCopy", dword(1)},
        {"Direct", dword(0)},        {"PlaySound", dword(1)},
        {"Client", dword(0)},        {"Confirm", dword(0)},
        {"Red", dword(1)},           {"Resize", dword(0)},
        {"Contrast", dword(0)},      {"Brightness", dword(0)},
        {"FrameSize", dword(1)},     {"Color1", dword(0)},
        {"Color2", dword(0xFFFFFF)}, {"DefPrinter", "\"Default Printer\""},
        {"Copies", dword(0)},        {"Hotkey", dword(44)},
        {"HotKeyFunction", dword(0)}};
    for (auto it = defaults.begin(); it != defaults.end(); ++it) {
        EXPECT_EQ(first.values.value(it.key()), it.value()) << it.key().toStdString();
    }
    const QString footer = first.values.value("FooterString");
    EXPECT_TRUE(footer.startsWith('"') && footer.size() > 2 && footer.size() <= 82)
        << footer.toStdString();

    // The window opens with its outer corner where the store says, about centred: before the
    // first show the window manager's frame is not known, so the centring is by the client size.
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = waitForMainWindow(app);
    ASSERT_TRUE(window.has_value());
    QThread::msleep(300);
    const QRect frame = frameGeometry(*window);
    const QRect client = windowGeometry(*window);
    const int left = first.values.value("WinPosLeft").mid(6).toInt(nullptr, 16);
    const int top = first.values.value("WinPosTop").mid(6).toInt(nullptr, 16);
    EXPECT_EQ(frame.topLeft(), QPoint(left, top));
    EXPECT_EQ(left, roundHalfEven((1920 - client.width()) * 0.5)) << client.width();
    EXPECT_EQ(top, roundHalfEven((1080 - client.height()) * 0.5)) << client.height();
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 5000));

    app.terminate();
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));
    const Section closed = optionsSection(QString::fromUtf8(fileContents(storeFile(config))));
    EXPECT_EQ(closed.values.size(), 38);
    // The picture folders are the user's pictures folder, which outlasts a reboot.
    const QString pictures = QDir::homePath() + QStringLiteral("/Pictures/");
    EXPECT_EQ(closed.values.value("SaveFolder"), '"' + pictures + '"');
    EXPECT_EQ(closed.values.value("LoadFolder"), '"' + pictures + '"');
    // Nothing else changed, the position included: the window was shown but not moved.
    for (const QString& name : names) {
        EXPECT_EQ(closed.values.value(name), first.values.value(name)) << name.toStdString();
    }
    for (auto it = closed.count.begin(); it != closed.count.end(); ++it) {
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    }
}

TEST(ProgramSettings, ASecondStartReadsTheFileAsEditedByHand) {
    PrivateConfigHome config;
    // A complete key in other spellings of the names, with F5 as the hotkey, the client area
    // switch on and a position of our own; plus a value and a key the program does not know.
    QByteArray edited =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Other\\Tool]\n"
        "\"Kept\"=\"other program\"\n\n";
    edited += QByteArray(kSection) + '\n';
    const char* const values[] = {
        "\"monochrom\"=dword:00000000",       "\"INVERSED\"=dword:00000000",
        "\"Mirrored\"=dword:00000000",        "\"centered\"=dword:00000001",
        "\"Proportion\"=dword:00000001",      "\"HalfSize\"=dword:00000000",
        "\"Stretched\"=dword:00000000",       "\"NormalSize\"=dword:00000001",
        "\"Frame\"=dword:00000000",           "\"SwapBW\"=dword:00000000",
        "\"FooterText\"=dword:00000000",      "\"FooterTime\"=dword:00000000",
        "\"FooterUser\"=dword:00000000",      "\"Landscape\"=dword:00000001",
        "\"Portrait\"=dword:00000000",        "\"Direct\"=dword:00000000",
        "\"PlaySound\"=dword:00000000",       "\"client\"=dword:00000007",
        "\"Confirm\"=dword:00000000",         "\"Red\"=dword:00000001",
        "\"Green\"=dword:00000001",           "\"Blue\"=dword:00000001",
        "\"Resize\"=dword:00000000",          "\"winposleft\"=dword:00000064",
        "\"WINPOSTOP\"=dword:00000096",       "\"FrameSize\"=dword:00000001",
        "\"Color1\"=dword:00000000",          "\"Color2\"=dword:00ffffff",
        "\"DefPrinter\"=\"Default Printer\"", "\"Copies\"=dword:00000000",
        "\"SaveFolder\"=\"/tmp/\"",           "\"LoadFolder\"=\"/tmp/\"",
        "\"FooterString\"=\"by hand\"",       "\"Contrast\"=dword:00000000",
        "\"Brightness\"=dword:00000000",      "\"hotkey\"=dword:00000074",
        "\"hotkeyfunction\"=dword:00000000",  "\"Comment\"=\"edited by hand\""};
    for (const char* value : values) {
        edited += QByteArray(value) + '\n';
    }
    writeFile(storeFile(config), edited);

    capture_desktop::ManagedWindow probe(QStringLiteral("400x300+100+200"));
    ASSERT_NE(probe.id(), 0u);
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    EXPECT_FALSE(waitForMessageBox(1000).has_value());

    // F5 is taken, PrintScreen is free for anyone.
    capture_desktop::OtherClient other;
    EXPECT_EQ(other.grabKey(kF5Keysym, 0), kBadAccess);
    EXPECT_EQ(other.grabKey(kPrintKeysym, 0), 0);
    other.ungrabKey(kPrintKeysym, 0);
    key(QStringLiteral("Print"));
    EXPECT_TRUE(staysHidden(app));

    // Alt+F5 takes the active window's client area only.
    probe.activate();
    key(QStringLiteral("alt+F5"));
    auto window = waitForMainWindow(app);
    ASSERT_TRUE(window.has_value());
    const QImage picture = capture_desktop::clipboardPng();
    EXPECT_EQ(picture.size(), QSize(400, 300));
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 5000));

    // F5 alone opens the window where the file puts it.
    key(QStringLiteral("F5"));
    window = waitForMainWindow(app);
    ASSERT_TRUE(window.has_value());
    QThread::msleep(300);
    EXPECT_EQ(frameGeometry(*window).topLeft(), QPoint(100, 150));

    // "Save Options" rewrites the key with one line per value and keeps what it does not know.
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+o"));
    ASSERT_TRUE(waitForMessageBox().has_value());  // "Options saved successfully"
    key(QStringLiteral("Return"));
    const QString saved = QString::fromUtf8(fileContents(storeFile(config)));
    EXPECT_TRUE(saved.contains(QStringLiteral("[HKEY_CURRENT_USER\\SOFTWARE\\Other\\Tool]")));
    EXPECT_TRUE(saved.contains(QStringLiteral("\"Kept\"=\"other program\"")));
    const Section section = optionsSection(saved);
    EXPECT_EQ(section.values.value("Comment"), "\"edited by hand\"");
    EXPECT_EQ(section.values.size(), static_cast<int>(std::size(values)) + 3);  // + AutoSave...
    EXPECT_EQ(section.values.value("AutoSave"), dword(0));
    for (auto it = section.count.begin(); it != section.count.end(); ++it) {
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    }
    QMap<QString, QString> byName;
    for (auto it = section.values.begin(); it != section.values.end(); ++it) {
        byName.insert(it.key().toLower(), it.value());
    }
    EXPECT_EQ(byName.value("hotkey"), dword(0x74));
    EXPECT_EQ(byName.value("hotkeyfunction"), dword(0));
    EXPECT_EQ(byName.value("client"), dword(1));  // any non-zero number read as true
    EXPECT_EQ(byName.value("footerstring"), "\"by hand\"");
    EXPECT_EQ(byName.value("savefolder"), "\"/tmp/\"");  // only closing writes the folders

    // Closing stores the corner where the window was shown, so the next start shows it there again.
    app.terminate();
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));
    const Section closed = optionsSection(QString::fromUtf8(fileContents(storeFile(config))));
    EXPECT_EQ(closed.values.value("winposleft"), dword(100));
    EXPECT_EQ(closed.values.value("WINPOSTOP"), dword(150));
}

TEST(ProgramSettings, ABrokenFileIsReportedAndKeptBesideTheStore) {
    struct Case {
        const char* what;
        QByteArray content;
    };
    const QByteArray tooLarge(50 * 1024 * 1024, 'x');
    static constexpr char kElf[] =
        "\x7f"
        "ELF\x02\x01\x01\0\0\0\0\xff\xfe\n\x01";
    const QByteArray binary(kElf, sizeof kElf - 1);
    const Case cases[] = {
        {
            "a broken escape",
            QByteArray("REGEDIT4\n\n") + kSection + "\n\"Monochrom\"=dword:00000000\n" +
                "\"FooterString\"=\"half \\q escape\"\n",
        },
        {"a truncated line", QByteArray("REGEDIT4\n\n") + kSection + "\n\"Monochrom\"=dwo"},
        {"binary data", binary},
        {"50 MB", tooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PrivateConfigHome config;
        const QString store = storeFile(config);
        writeFile(store, c.content);

        Varnoset app;
        app.start();
        ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
        // The box names the file and the line; its text cannot be read from outside, but the
        // program goes on.
        ASSERT_TRUE(waitForMessageBox().has_value());
        key(QStringLiteral("Return"));
        EXPECT_TRUE(waitUntil([] { return messageBoxes().empty(); }, 5000));
        EXPECT_TRUE(app.isRunning());
        EXPECT_EQ(fileContents(store), c.content);

        // The program works with its design state: PrintScreen opens the window, and "Save
        // Options" puts the broken file aside before it writes a new one.
        key(QStringLiteral("Print"));
        const auto window = waitForMainWindow(app);
        ASSERT_TRUE(window.has_value());
        run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
        key(QStringLiteral("ctrl+o"));
        ASSERT_TRUE(waitForMessageBox().has_value());
        key(QStringLiteral("Return"));
        const QStringList aside = brokenFilesBeside(store);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(fileContents(QFileInfo(store).dir().filePath(aside.front())), c.content);
        app.terminate();
        EXPECT_EQ(app.waitForExit(), std::optional<int>(0));

        // The new store loads without complaint.
        const Section rewritten = optionsSection(QString::fromUtf8(fileContents(store)));
        EXPECT_EQ(rewritten.values.value("Hotkey"), dword(44));
        Varnoset again;
        again.start();
        ASSERT_TRUE(again.waitForTrayIcon());
        EXPECT_FALSE(waitForMessageBox(1500).has_value());
        again.terminate();
        EXPECT_EQ(again.waitForExit(), std::optional<int>(0));
    }
}

TEST(ProgramSettings, ABrokenFileIsKeptWhenTheProgramOnlyCloses) {
    PrivateConfigHome config;
    const QString store = storeFile(config);
    const QByteArray broken = QByteArray("REGEDIT4\n\n") + kSection + "\nnot a value line\n";
    writeFile(store, broken);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon());
    ASSERT_TRUE(waitForMessageBox().has_value());
    key(QStringLiteral("Return"));
    app.terminate();
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));

    const QStringList aside = brokenFilesBeside(store);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileContents(QFileInfo(store).dir().filePath(aside.front())), broken);

    // The close wrote a whole key, so the next start reads it without an error box.
    const Section closed = optionsSection(QString::fromUtf8(fileContents(store)));
    EXPECT_GE(closed.values.size(), 37);
    Varnoset next;
    next.start();
    ASSERT_TRUE(next.waitForTrayIcon());
    EXPECT_FALSE(waitForMessageBox(2000).has_value());
}
