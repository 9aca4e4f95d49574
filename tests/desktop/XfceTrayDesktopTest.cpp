// On Xfce the tray icon is a StatusNotifierItem in the panel's status tray: the panel draws the
// program's own menu at the icon, and a left click opens it there too.
#include <gtest/gtest.h>

#include <QThread>

#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using varnoset::test::waitUntil;

namespace {

// The panel's status tray, which holds only the program's icon.
QRect statusTray() {
    const QString out = run("xdotool", {"search", "--onlyvisible", "--name", "^wrapper-2.0$"}).out;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const QRect g = windowGeometry(line.trimmed().toULong());
        if (g.width() >= 16) {
            return g;
        }
    }
    return {};
}

// The menu the panel shows below the icon, read from the screen.
QString menuBelow(const QRect& icon) {
    return squeezed(ocr(screenArea(QRect(icon.right() - 420, icon.bottom(), 420, 220)), 2));
}

}  // namespace

TEST(XfceTray, TheMenuIsExportedAndOpensAtTheIcon) {
    ASSERT_EQ(qEnvironmentVariable("VARNOSET_DESKTOP"), QStringLiteral("xfce"));
    PrivateConfigHome config;
    Varnoset app;
    app.start();
    QString item;  // its bus name
    ASSERT_TRUE(waitUntil([&] {
        return !(item = trayItems().section('\'', 1, 1).section('/', 0, 0)).isEmpty();
    })) << app.output().toStdString();

    // The item names its menu for the panel to draw.
    const QString menu = trayItemProperty(item, QStringLiteral("Menu"));
    ASSERT_TRUE(menu.contains(QStringLiteral("/MenuBar"))) << menu.toStdString();

    QRect icon;
    ASSERT_TRUE(waitUntil([&] { return !(icon = statusTray()).isEmpty(); }));
    // A right click: the panel draws the program's menu at the icon, not its own. The panel
    // may still be settling its new button: a click it missed is made again.
    QString shown;
    for (int attempt = 0; attempt < 3 && !shown.contains(QStringLiteral("PrinttheDesktop"));
         ++attempt) {
        clickAt(icon.center(), 3);
        waitUntil(
            [&] { return (shown = menuBelow(icon)).contains(QStringLiteral("PrinttheDesktop")); },
            4000);
    }
    ASSERT_TRUE(shown.contains(QStringLiteral("PrinttheDesktop"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("About"))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("Remove"))) << shown.toStdString();
    // Its last entry, "About", chosen in the panel's menu reaches the program.
    run("xdotool", {"key", "Up", "Return"});
    ASSERT_TRUE(waitForWindow(QStringLiteral("^About Varnoset"), 10000).has_value());
    run("xdotool", {"key", "Return"});  // the About box's OK

    // A left click opens the same menu at the icon.
    clickAt(icon.center(), 1);
    std::optional<WindowId> popup;
    ASSERT_TRUE(waitUntil([&] { return (popup = trayMenu()).has_value(); }, 8000));
    const QRect at = windowGeometry(*popup);
    EXPECT_LT((at.topLeft() - icon.center()).manhattanLength(), 480) << at.x() << "," << at.y();
    run("xdotool", {"key", "Escape"});
}
