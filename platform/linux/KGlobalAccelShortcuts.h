#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// KDE Plasma's global shortcuts, through its shortcut service kglobalaccel over D-Bus
// (org.kde.kglobalaccel, on X11 and Wayland alike). The key is taken from the action that holds
// it (Spectacle's, say) and given to Varnoset's own component, whose presses the service sends
// to the running program: no command is started, and no new login is needed.
class KGlobalAccelShortcuts final : public QObject, public DesktopShortcuts {
    Q_OBJECT
public:
    KGlobalAccelShortcuts();
    ~KGlobalAccelShortcuts() override;

    std::string desktopId() const override { return "KDE"; }
    ShortcutPlan plan(const std::vector<ShortcutKey>& keys) override;
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) override;
    void unbind(const std::vector<SavedSetting>& saved) override;
    void setPressedHandler(std::function<void(bool withAlt)> handler) override;

private Q_SLOTS:
    void globalShortcutPressed(const QString& component, const QString& action, qlonglong time);

private:
    class Access;
    void listen();

    std::unique_ptr<Access> access_;
    std::function<void(bool)> pressed_;
    bool listening_ = false;
};

}  // namespace varnoset
