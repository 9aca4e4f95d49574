#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>

#include "platform/TrayShell.h"
#include "platform/linux/StatusNotifierHosts.h"

namespace varnoset {

// The notification area through Qt's system tray support: a StatusNotifierItem where the session
// has a host for one (with its menu exported over dbusmenu, so the host draws it at the icon),
// else an XEmbed tray icon on X11.
class QtTrayShell final : public QObject, public TrayShell {
    Q_OBJECT
public:
    explicit QtTrayShell(QObject* parent = nullptr);
    ~QtTrayShell() override;

    bool add(const TrayIconRecord& record) override;
    bool modify(const TrayIconRecord& record) override;
    bool remove(const TrayIconRecord& record) override;
    void showMessage(const QString& title, const QString& text) override;
    void setMessageHandler(std::function<void(TrayMouseMessage)> handler) override;
    void setMenu(QMenu* menu) override;
    void setNoAreaHandler(std::function<void()> handler) override;

private:
    // Makes the icon for the area the session has now. Qt decides once per process whether its
    // icons are StatusNotifierItems, at the first one made: so none is made on Wayland before a
    // host is there.
    void makeIcon();
    void hostRegistered();
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    // Made at the first add: the session bus is not asked before the program holds its lock.
    std::unique_ptr<StatusNotifierHosts> hosts_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    bool onHost_ = false;  // the icon is a StatusNotifierItem
    bool shown_ = false;
    TrayIconRecord record_;
    QPointer<QMenu> menu_;
    std::function<void(TrayMouseMessage)> handler_;
    std::function<void()> noAreaHandler_;
};

}  // namespace varnoset
