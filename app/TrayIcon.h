#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/TrayShell.h"

class QMenu;

namespace varnoset {

// Keeps one icon with a tooltip in the desktop's notification area and turns the mouse
// messages for it into events. Knows nothing of the rest of the program.
class TTrayIcon : public QObject {
    Q_OBJECT
public:
    using Event = std::function<void(QObject* sender)>;

    // `designing` marks a component that sits in a designer: Active is then only recorded and the
    // icon follows ShowDesigning instead.
    TTrayIcon(QObject* owner, std::unique_ptr<TrayShell> shell, bool designing = false);
    ~TTrayIcon() override;

    bool Active() const { return active_; }
    void setActive(bool value);
    bool ShowDesigning() const { return showDesigning_; }
    void setShowDesigning(bool value);
    const QIcon& Icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    const QString& ToolTip() const { return toolTip_; }
    void setToolTip(const QString& text);
    QMenu* PopupMenu() const { return popupMenu_; }
    void setPopupMenu(QMenu* menu);
    // A notice in a balloon beside the icon; shown only while the icon is.
    void showMessage(const QString& title, const QString& text);
    // The menu for a notification area that draws an icon's menu itself, at the icon (right
    // clicks then open it there and are not reported). Not owned.
    void setAreaMenu(QMenu* menu);

    Event OnClick;
    Event OnDblClick;
    Event OnRightClick;
    // The icon was added, but the session has no notification area to show it in (yet).
    Event OnNoNotificationArea;

    // The longest tooltip the notification area takes; longer texts end in "...".
    static constexpr int kMaxToolTip = 62;
    static QString truncatedToolTip(const QString& text);

    // Where the pointer is when a right click arrives, and how a popup menu is run there;
    // replaceable so the component's rules can be exercised without a real pointer.
    std::function<QPoint()> cursorPosition;
    std::function<void(QMenu*, QPoint)> runPopup;

    // The mouse message the notification area reported for the icon.
    void handleMouseMessage(TrayMouseMessage message);

private:
    TrayIconRecord fillRecord() const;
    bool addIcon();
    bool modifyIcon();
    bool deleteIcon();
    void rightClick();
    void popupMenuDestroyed(QObject* menu);

    std::unique_ptr<TrayShell> shell_;
    const bool designing_;
    QIcon icon_;
    QString toolTip_;
    bool active_ = false;
    bool showDesigning_ = false;
    QMenu* popupMenu_ = nullptr;
    QMetaObject::Connection popupWatch_;
};

}  // namespace varnoset
