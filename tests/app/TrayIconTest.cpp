#include <gtest/gtest.h>

#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "tests/support/RecordingTrayShell.h"

using namespace varnoset;

namespace {

using test::Recorder;
using test::RecordingShell;

std::unique_ptr<TTrayIcon> makeIcon(Recorder& r, bool designing = false) {
    auto icon =
        std::make_unique<TTrayIcon>(nullptr, std::make_unique<RecordingShell>(r), designing);
    icon->setToolTip("tip");
    r.calls.clear();
    return icon;
}

}  // namespace

TEST(TrayIcon, ToolTipIsCutTo62Characters) {
    const QString exact(62, QLatin1Char('a'));
    EXPECT_EQ(TTrayIcon::truncatedToolTip(exact), exact);
    const QString longer = QString(59, QLatin1Char('b')) + QStringLiteral("cdef");
    EXPECT_EQ(TTrayIcon::truncatedToolTip(longer), QString(59, QLatin1Char('b')) + "...");
    EXPECT_EQ(TTrayIcon::truncatedToolTip(longer).size(), 62);
}

TEST(TrayIcon, ShellCallsFollowTheActiveFlag) {
    Recorder r;
    auto icon = makeIcon(r);
    icon->setActive(false);  // already inactive: nothing
    icon->setToolTip("while inactive");
    icon->setIcon(QIcon());
    EXPECT_TRUE(r.calls.empty());

    icon->setActive(true);
    icon->setActive(true);  // a second activation adds nothing
    ASSERT_EQ(r.calls, std::vector<std::string>{"add:while inactive"});

    icon->setToolTip("now shown");
    icon->setIcon(icon->Icon());  // its own icon object: no call
    icon->setActive(false);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"add:while inactive", "modify:now shown",
                                                 "remove:now shown"}));

    icon->setActive(true);
    r.calls.clear();
    icon.reset();  // destroying an active icon removes it
    EXPECT_EQ(r.calls, std::vector<std::string>{"remove:now shown"});
}

TEST(TrayIcon, DesignModeFollowsShowDesigning) {
    Recorder r;
    auto icon = makeIcon(r, /*designing=*/true);
    icon->setActive(true);
    EXPECT_TRUE(icon->Active());
    EXPECT_TRUE(r.calls.empty());
    icon->setShowDesigning(true);
    icon->setShowDesigning(true);
    icon->setShowDesigning(false);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"add:tip", "remove:tip"}));

    Recorder running;
    auto plain = makeIcon(running);
    plain->setShowDesigning(true);  // outside a designer the setter does nothing
    EXPECT_FALSE(plain->ShowDesigning());
    EXPECT_TRUE(running.calls.empty());
}

TEST(TrayIcon, MouseMessagesBecomeEventsInOrder) {
    Recorder r;
    auto icon = makeIcon(r);
    std::vector<std::string> events;
    icon->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, icon.get());
        events.push_back("click");
    };
    icon->OnDblClick = [&](QObject*) { events.push_back("double"); };
    icon->OnRightClick = [&](QObject*) { events.push_back("right"); };

    // The notification area reports a double click as release, double click, release.
    for (auto m : {TrayMouseMessage::LeftButtonUp, TrayMouseMessage::LeftButtonDoubleClick,
                   TrayMouseMessage::LeftButtonUp, TrayMouseMessage::Other,
                   TrayMouseMessage::RightButtonUp}) {
        r.handler(m);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"click", "double", "click", "right"}));
}

TEST(TrayIcon, PopupMenuTakesTheRightClickUntilItIsDestroyed) {
    Recorder r;
    auto icon = makeIcon(r);
    int rightClicks = 0;
    icon->OnRightClick = [&](QObject*) { ++rightClicks; };
    int cursorReads = 0;
    icon->cursorPosition = [&] {
        ++cursorReads;
        return QPoint(640, 1050);
    };
    QPoint poppedAt;
    QMenu* popped = nullptr;
    icon->runPopup = [&](QMenu* menu, QPoint at) {
        popped = menu;
        poppedAt = at;
    };

    auto menu = std::make_unique<QMenu>();
    icon->setPopupMenu(menu.get());
    r.handler(TrayMouseMessage::RightButtonUp);
    EXPECT_EQ(rightClicks, 0);
    EXPECT_EQ(popped, menu.get());
    EXPECT_EQ(poppedAt, QPoint(640, 1050));
    EXPECT_EQ(cursorReads, 1);

    menu.reset();  // the component hears of the removal and forgets the menu
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    r.handler(TrayMouseMessage::RightButtonUp);
    EXPECT_EQ(rightClicks, 1);
}
