#pragma once

#include <QIcon>
#include <QString>
#include <functional>

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
    // A notification beside the icon (the desktop's notification service where there is one).
    virtual void showMessage(const QString& title, const QString& text) = 0;
    // The mouse messages for the icon are delivered here.
    virtual void setMessageHandler(std::function<void(TrayMouseMessage)> handler) = 0;
};

}  // namespace varnoset
