// The program in a headless Wayland session: the tray through StatusNotifierItem, the screen
// through the desktop portal, the key through the compositor's binding of the command line, the
// rectangle overlay through a virtual pointer. Results are read as other programs see them: the
// screen with grim, the clipboard with wl-paste, the windows with swaymsg.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

namespace {

using desktop::run;
using desktop::trayItemProperty;
using desktop::trayItems;
using varnoset::test::waitUntil;

// The file the wlroots portal backend writes every screenshot to.
const QString kPortalFile = QStringLiteral("/tmp/out.png");

struct SwayWindow {
    QString name;
    QString appId;
    QRect rect;
    bool fullScreen = false;
};

void collectWindows(const QJsonObject& node, std::vector<SwayWindow>& out) {
    const QString type = node.value("type").toString();
    if ((type == "con" || type == "floating_con") && node.value("visible").toBool() &&
        node.contains("app_id")) {
        const QJsonObject r = node.value("rect").toObject();
        out.push_back({node.value("name").toString(), node.value("app_id").toString(),
                       QRect(r.value("x").toInt(), r.value("y").toInt(), r.value("width").toInt(),
                             r.value("height").toInt()),
                       node.value("fullscreen_mode").toInt() != 0});
    }
    for (const char* list : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(list).toArray()) {
            collectWindows(child.toObject(), out);
        }
    }
}

// The visible windows sway manages.
std::vector<SwayWindow> windows() {
    std::vector<SwayWindow> out;
    const auto tree = run("swaymsg", {"-r", "-t", "get_tree"});
    collectWindows(QJsonDocument::fromJson(tree.out.toUtf8()).object(), out);
    return out;
}

std::optional<SwayWindow> windowWhere(const std::function<bool(const SwayWindow&)>& match) {
    for (const SwayWindow& w : windows()) {
        if (match(w)) {
            return w;
        }
    }
    return std::nullopt;
}

// What is on the screen, for failure messages.
std::string windowList() {
    std::string list = "windows:";
    for (const SwayWindow& w : windows()) {
        list += " [" + w.appId.toStdString() + "] " + w.name.toStdString() + ";";
    }
    return list;
}

bool mainWindowShown() {
    return windowWhere([](const SwayWindow& w) { return w.name.startsWith("Varnoset\u00AE"); })
        .has_value();
}

// The whole output as grim reads it.
QImage screen() {
    QTemporaryDir dir;
    const QString file = dir.filePath("screen.png");
    run("grim", {"-t", "png", file});
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

// The picture the clipboard offers to other programs.
QImage clipboardPicture() {
    QProcess paste;
    paste.start("wl-paste", {"-n", "-t", "image/png"});
    paste.waitForFinished(10000);
    return QImage::fromData(paste.readAllStandardOutput()).convertToFormat(QImage::Format_RGB32);
}

void keys(const QStringList& args) {
    // The pause lets a client take the new virtual keyboard before the first key.
    run("wtype", QStringList{"-s", "300"} + args);
}

// Keeps a picture that differs from the expected one, and the expected one, beside the test.
QString keepForInspection(const QImage& got, const QImage& expected) {
    const QString base = QStringLiteral("/tmp/varnoset-wayland-test-") +
                         QString::number(QDateTime::currentMSecsSinceEpoch());
    got.save(base + "-got.png");
    expected.save(base + "-expected.png");
    return base + "-{got,expected}.png";
}

class WaylandSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) << "run under harness.sh";
        QFile::remove(kPortalFile);
        ASSERT_FALSE(QFile::exists(kPortalFile))
            << kPortalFile.toStdString() << " belongs to another user";
        bar_ = screen().copy(kTrayArea);
        program_.start();
        ASSERT_TRUE(waitUntil([] { return trayItems().contains("/StatusNotifierItem"); }, 30000))
            << "registered: " << trayItems().toStdString() << "\nprogram running "
            << program_.isRunning() << ", said: " << program_.output().toStdString();
    }
    void TearDown() override {
        QFile(kPortalFile).setPermissions(QFile::WriteOwner | QFile::ReadOwner);
        QFile::remove(kPortalFile);
        program_.terminate();
        program_.waitForExit(10000);
    }

    // Esc hides the main window again.
    void hideMainWindow() {
        keys({"-k", "Escape"});
        ASSERT_TRUE(waitUntil([] { return !mainWindowShown(); }, 10000));
    }

    // The right end of swaybar, where the tray draws its icons.
    static inline const QRect kTrayArea{1180, 0, 100, 22};
    QImage bar_;
    desktop::Varnoset program_;
};

// The tray icon is registered and drawn, its tooltip names the commands to bind; Print through
// the compositor's binding shows the main window with the screen as grim sees it.
TEST_F(WaylandSession, PrintKeyCapturesTheScreenThroughThePortal) {
    const QString item = trayItems().section('\'', 1, 1);
    EXPECT_TRUE(trayItemProperty(item, "ToolTip").contains("PrintScreen: varnoset --hotkey"))
        << trayItemProperty(item, "ToolTip").toStdString();
    EXPECT_TRUE(waitUntil([this] { return screen().copy(kTrayArea) != bar_; }, 10000))
        << "no icon drawn in the bar";

    const QImage expected = screen();
    keys({"-k", "Print"});
    ASSERT_TRUE(waitUntil(mainWindowShown, 15000)) << windowList();
    EXPECT_FALSE(QFile::exists(kPortalFile)) << "the portal's file is left behind";
    // A key press in the window lets the compositor take the picture the capture offered.
    keys({"-M", "ctrl", "-k", "c", "-m", "ctrl"});
    QImage copied;
    EXPECT_TRUE(waitUntil([&] { return (copied = clipboardPicture()) == expected; }, 10000))
        << "clipboard " << copied.width() << "x" << copied.height() << ", screen "
        << expected.width() << "x" << expected.height() << " saved as "
        << keepForInspection(copied, expected).toStdString();
    hideMainWindow();
}

// A portal that cannot write its file refuses the request: an error box says so, nothing is
// captured, and the next Print captures again.
TEST_F(WaylandSession, RefusedPortalIsAFailedCaptureAndTheKeyWorksAfterwards) {
    QFile blocker(kPortalFile);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    blocker.setPermissions(QFile::ReadOwner | QFile::ReadOther);

    keys({"-k", "Print"});
    std::optional<SwayWindow> box;
    ASSERT_TRUE(waitUntil(
        [&] {
            box = windowWhere([](const SwayWindow& w) {
                return w.appId == "varnoset" && !w.name.startsWith("Varnoset\u00AE");
            });
            return box.has_value();
        },
        15000))
        << program_.output().toStdString();
    EXPECT_FALSE(mainWindowShown());
    const QString text = desktop::squeezed(desktop::ocr(screen().copy(box->rect), 2));
    EXPECT_TRUE(text.contains("screencouldnotbecaptured")) << text.toStdString();
    keys({"-k", "Return"});
    ASSERT_TRUE(waitUntil(
        [] {
            return !windowWhere([](const SwayWindow& w) {
                        return w.appId == "varnoset";
                    }).has_value();
        },
        10000));

    blocker.setPermissions(QFile::WriteOwner | QFile::ReadOwner);
    QFile::remove(kPortalFile);
    keys({"-k", "Print"});
    EXPECT_TRUE(waitUntil(mainWindowShown, 15000)) << "the key stays dead after a failure";
    hideMainWindow();
}

// The active window cannot be located on Wayland: a window capture runs the rectangle overlay
// over the whole output, and the dragged rectangle is captured exactly.
TEST_F(WaylandSession, WindowCaptureFallsBackToTheRectangleOverlay) {
    // Screenshots show the pointer: it waits in a corner, and goes back there after the drag.
    const QString pointer = qEnvironmentVariable("VARNOSET_RFB_POINTER");
    const QString port = qEnvironmentVariable("VARNOSET_WAYVNC_PORT");
    ASSERT_EQ(run(pointer, {port, "1279 719 0"}).exitCode, 0);
    const QImage expected = screen().copy(100, 120, 200, 130);
    // The command waits until the rectangle is dragged.
    QProcess command;
    command.start(desktop::Varnoset::binary(), {"--capture", "window"});
    std::optional<SwayWindow> overlay;
    ASSERT_TRUE(waitUntil(
        [&] {
            overlay = windowWhere([](const SwayWindow& w) { return w.fullScreen; });
            return overlay.has_value();
        },
        15000))
        << program_.output().toStdString();
    EXPECT_EQ(overlay->rect, QRect(0, 0, 1280, 720));

    ASSERT_EQ(run(pointer, {port, "100 120 0", "100 120 1", "200 180 1", "300 250 1", "300 250 0",
                            "1279 719 0"})
                  .exitCode,
              0);
    ASSERT_TRUE(waitUntil(mainWindowShown, 15000)) << windowList();
    ASSERT_TRUE(command.waitForFinished(15000));
    EXPECT_EQ(command.exitCode(), 0);
    keys({"-M", "ctrl", "-k", "c", "-m", "ctrl"});
    QImage copied;
    EXPECT_TRUE(waitUntil([&] { return (copied = clipboardPicture()) == expected; }, 10000))
        << "clipboard " << copied.width() << "x" << copied.height() << " saved as "
        << keepForInspection(copied, expected).toStdString();
    hideMainWindow();
}

}  // namespace
