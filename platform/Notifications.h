#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace varnoset {

// A button of a notification and what it does when the user chooses it.
struct NotificationAction {
    QString key;  // unique within the notification
    QString label;
    std::function<void()> run;
};

struct Notification {
    QString title;
    QString text;
    std::vector<NotificationAction> actions;
};

// The desktop's notifications: a short title and a text in the desktop's own pop-up, with
// buttons for the actions where the desktop offers them.
class Notifications {
public:
    virtual ~Notifications() = default;
    virtual void notify(const Notification& notification) = 0;
    // Where no notification service answers, the notification goes here instead; when that
    // cannot show it either (it returns false), to the standard error output.
    virtual void setFallback(std::function<bool(const Notification&)> fallback) = 0;
};

}  // namespace varnoset
