#pragma once

#include <QDBusServiceWatcher>
#include <QObject>
#include <functional>

namespace varnoset {

// Whether the session has a StatusNotifierItem host (a panel that shows tray items over D-Bus:
// KDE Plasma, Xfce's status tray, GNOME's AppIndicator extension, swaybar...), asked of the
// org.kde.StatusNotifierWatcher on the session bus, and news when one registers later.
class StatusNotifierHosts final : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierHosts(QObject* parent = nullptr);

    bool registered() const;
    // Called when a host registers, or a watcher that already has one appears.
    void onHostRegistered(std::function<void()> handler);

private slots:
    void hostRegistered();

private:
    QDBusServiceWatcher watcher_;
    std::function<void()> handler_;
};

}  // namespace varnoset
