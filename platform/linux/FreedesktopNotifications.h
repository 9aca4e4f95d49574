#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <vector>

#include "platform/Notifications.h"

namespace varnoset {

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus): GNOME Shell, Plasma, xfce4-notifyd, mako... Their buttons call back while
// the notification is open; where no service answers, the fallback shows them.
class FreedesktopNotifications final : public QObject, public Notifications {
    Q_OBJECT
public:
    FreedesktopNotifications();

    void notify(const Notification& notification) override;
    void setFallback(std::function<bool(const Notification&)> fallback) override;

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onClosed(uint id, uint reason);

private:
    void showElsewhere(const Notification& notification);

    bool listening_ = false;
    // The actions of the notifications that are open, by the service's id.
    std::map<uint, std::vector<NotificationAction>> open_;
    std::function<bool(const Notification&)> fallback_;
};

}  // namespace varnoset
