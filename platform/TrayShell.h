#pragma once

#include <QIcon>
#include <QString>
#include <functional>

class QMenu;

namespace varnoset {

// The mouse messages that the notification area reports for an icon.
enum class TrayMouseMessage {
    LeftButtonUp = 514,
    LeftButtonDoubleClick = 515,
    RightButtonUp = 517,
    Other = 0
};

// What the notification area keeps for one icon, refilled before every add and modify.
struct TrayIconRecord {
    QIcon icon;
    QString toolTip;
};

// The desktop's notification area. Each call reports whether the area accepted it.
class TrayShell {
public:
    virtual ~TrayShell() = default;
    virtual bool add(const TrayIconRecord& record) = 0;
    virtual bool modify(const TrayIconRecord& record) = 0;
    virtual bool remove(const TrayIconRecord& record) = 0;
    // A notice in a balloon beside the icon, where the area draws one.
    virtual void showMessage(const QString& title, const QString& text) = 0;
    // The mouse messages for the icon are delivered here.
    virtual void setMessageHandler(std::function<void(TrayMouseMessage)> handler) = 0;
    // The icon's menu, for an area that draws an item's menu itself at the icon (a
    // StatusNotifierItem host reads it over D-Bus): its right click then opens that menu instead
    // of reporting the click. Not owned.
    virtual void setMenu(QMenu* menu) = 0;
    // Told once, at an add, when the session has no notification area to show the icon in; the
    // icon still appears if one comes later.
    virtual void setNoAreaHandler(std::function<void()> handler) = 0;
};

}  // namespace varnoset
