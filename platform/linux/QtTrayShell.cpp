#include "platform/linux/QtTrayShell.h"

#include <QGuiApplication>
#include <QMenu>
#include <utility>

namespace varnoset {

namespace {

constexpr int kMessageShownMs = 15000;

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

QtTrayShell::QtTrayShell(QObject* parent) : QObject(parent) {}

QtTrayShell::~QtTrayShell() = default;

void QtTrayShell::makeIcon() {
    onHost_ = hosts_->registered();
    // On X11 an XEmbed icon follows trays that come and go; on Wayland there is nothing else.
    if (!onHost_ && !onX11()) {
        return;
    }
    icon_ = std::make_unique<QSystemTrayIcon>();
    connect(icon_.get(), &QSystemTrayIcon::activated, this, &QtTrayShell::onActivated);
    icon_->setIcon(record_.icon);
    icon_->setToolTip(record_.toolTip);
    // An XEmbed tray reports the clicks, and Qt would pop an icon's menu up itself on top of the
    // click's; only a StatusNotifierItem hands its menu to the host.
    if (onHost_ && menu_) {
        icon_->setContextMenu(menu_);
    }
    icon_->setVisible(shown_);
}

void QtTrayShell::hostRegistered() {
    // An icon follows the restarts of its host or XEmbed tray itself; only a Wayland session
    // that had no host yet has none.
    if (shown_ && !icon_) {
        makeIcon();
    }
}

bool QtTrayShell::add(const TrayIconRecord& record) {
    record_ = record;
    shown_ = true;
    if (!hosts_) {
        hosts_ = std::make_unique<StatusNotifierHosts>();
        hosts_->onHostRegistered([this] { hostRegistered(); });
    }
    if (!icon_) {
        makeIcon();
    }
    if (icon_) {
        icon_->setVisible(true);
    }
    const bool areaThere = onHost_ || (icon_ && QSystemTrayIcon::isSystemTrayAvailable());
    if (!areaThere && noAreaHandler_) {
        std::exchange(noAreaHandler_, nullptr)();  // once
    }
    return areaThere;
}

bool QtTrayShell::modify(const TrayIconRecord& record) {
    record_ = record;
    if (!icon_) {
        return false;
    }
    icon_->setIcon(record.icon);
    icon_->setToolTip(record.toolTip);
    return icon_->isVisible();
}

bool QtTrayShell::remove(const TrayIconRecord&) {
    shown_ = false;
    if (!icon_) {
        return false;
    }
    const bool wasShown = icon_->isVisible();
    icon_->hide();
    return wasShown;
}

void QtTrayShell::showMessage(const QString& title, const QString& text) {
    if (icon_) {
        icon_->showMessage(title, text, QSystemTrayIcon::Warning, kMessageShownMs);
    }
}

void QtTrayShell::setMessageHandler(std::function<void(TrayMouseMessage)> handler) {
    handler_ = std::move(handler);
}

void QtTrayShell::setMenu(QMenu* menu) {
    menu_ = menu;
    if (icon_ && onHost_) {
        icon_->setContextMenu(menu);
    }
}

void QtTrayShell::setNoAreaHandler(std::function<void()> handler) {
    noAreaHandler_ = std::move(handler);
}

void QtTrayShell::onActivated(QSystemTrayIcon::ActivationReason reason) {
    if (!handler_) {
        return;
    }
    // Qt reports a release of the left button as Trigger and the right button as Context; a
    // double click arrives as Trigger, then DoubleClick. A host that draws the menu itself
    // sends no Context; its left click (Activate) is a Trigger.
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            handler_(TrayMouseMessage::LeftButtonUp);
            break;
        case QSystemTrayIcon::DoubleClick:
            handler_(TrayMouseMessage::LeftButtonDoubleClick);
            break;
        case QSystemTrayIcon::Context:
            handler_(TrayMouseMessage::RightButtonUp);
            break;
        default:
            handler_(TrayMouseMessage::Other);
            break;
    }
}

}  // namespace varnoset
