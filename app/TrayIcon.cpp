#include "app/TrayIcon.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>

namespace varnoset {

TTrayIcon::TTrayIcon(QObject* owner, std::unique_ptr<TrayShell> shell, bool designing)
    : QObject(owner), shell_(std::move(shell)), designing_(designing) {
    cursorPosition = [] { return QCursor::pos(); };
    runPopup = [](QMenu* menu, QPoint at) { menu->exec(at); };
    shell_->setMessageHandler([this](TrayMouseMessage m) { handleMouseMessage(m); });
    shell_->setNoAreaHandler([this] {
        if (OnNoNotificationArea) {
            OnNoNotificationArea(this);
        }
    });
    setToolTip(QCoreApplication::applicationName());
}

TTrayIcon::~TTrayIcon() {
    if ((!designing_ && active_) || (designing_ && showDesigning_)) {
        deleteIcon();
    }
    shell_->setMessageHandler(nullptr);
    shell_->setNoAreaHandler(nullptr);
    shell_->setMenu(nullptr);
}

QString TTrayIcon::truncatedToolTip(const QString& text) {
    if (text.size() <= kMaxToolTip) {
        return text;
    }
    return text.left(kMaxToolTip - 3) + QStringLiteral("...");
}

void TTrayIcon::setActive(bool value) {
    if (value == active_) {
        return;
    }
    active_ = value;
    if (designing_) {
        return;
    }
    value ? addIcon() : deleteIcon();
}

void TTrayIcon::setShowDesigning(bool value) {
    if (!designing_ || value == showDesigning_) {
        return;
    }
    showDesigning_ = value;
    value ? addIcon() : deleteIcon();
}

void TTrayIcon::setIcon(const QIcon& icon) {
    if (&icon == &icon_) {
        return;
    }
    icon_ = icon;
    modifyIcon();
}

void TTrayIcon::setToolTip(const QString& text) {
    toolTip_ = truncatedToolTip(text);
    modifyIcon();
}

void TTrayIcon::setPopupMenu(QMenu* menu) {
    if (menu == popupMenu_) {
        return;
    }
    disconnect(popupWatch_);
    if (menu != nullptr) {
        popupWatch_ = connect(menu, &QObject::destroyed, this, &TTrayIcon::popupMenuDestroyed);
    }
    popupMenu_ = menu;
}

void TTrayIcon::showMessage(const QString& title, const QString& text) {
    if (active_ && !designing_) {
        shell_->showMessage(title, text);
    }
}

void TTrayIcon::setAreaMenu(QMenu* menu) {
    shell_->setMenu(menu);
}

void TTrayIcon::popupMenuDestroyed(QObject* menu) {
    if (menu == popupMenu_) {
        popupMenu_ = nullptr;
    }
}

TrayIconRecord TTrayIcon::fillRecord() const {
    return TrayIconRecord{icon_, toolTip_};
}

bool TTrayIcon::addIcon() {
    return shell_->add(fillRecord());
}

bool TTrayIcon::modifyIcon() {
    // While inactive the new icon or tooltip is only kept, and shown with the next add.
    if (!active_) {
        return true;
    }
    return shell_->modify(fillRecord());
}

bool TTrayIcon::deleteIcon() {
    return shell_->remove(fillRecord());
}

void TTrayIcon::handleMouseMessage(TrayMouseMessage message) {
    switch (message) {
        case TrayMouseMessage::LeftButtonUp:
            if (OnClick) {
                OnClick(this);
            }
            break;
        case TrayMouseMessage::LeftButtonDoubleClick:
            if (OnDblClick) {
                OnDblClick(this);
            }
            break;
        case TrayMouseMessage::RightButtonUp:
            rightClick();
            break;
        case TrayMouseMessage::Other:
            break;
    }
}

void TTrayIcon::rightClick() {
    const QPoint at = cursorPosition();  // before anything else can move the pointer
    if (popupMenu_ != nullptr) {
        QCoreApplication::processEvents();
        runPopup(popupMenu_, at);
    } else if (OnRightClick) {
        OnRightClick(this);
    }
}

}  // namespace varnoset
