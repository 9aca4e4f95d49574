#include "platform/linux/QtTrayShell.h"

#include <cstdio>

namespace varnoset {

namespace {

constexpr int kMessageShownMs = 15000;

}  // namespace

QtTrayShell::QtTrayShell(QObject* parent, QString noHostNotice)
    : QObject(parent), noHostNotice_(std::move(noHostNotice)) {
    connect(&icon_, &QSystemTrayIcon::activated, this, &QtTrayShell::onActivated);
}

bool QtTrayShell::add(const TrayIconRecord& record) {
    icon_.setIcon(record.icon);
    icon_.setToolTip(record.toolTip);
    icon_.show();
    const bool shown = QSystemTrayIcon::isSystemTrayAvailable();
    if (!shown && !noHostNotice_.isEmpty()) {
        std::fprintf(stderr, "%s\n", noHostNotice_.toLocal8Bit().constData());
        noHostNotice_.clear();  // once
    }
    return shown;
}

bool QtTrayShell::modify(const TrayIconRecord& record) {
    icon_.setIcon(record.icon);
    icon_.setToolTip(record.toolTip);
    return icon_.isVisible();
}

bool QtTrayShell::remove(const TrayIconRecord&) {
    const bool wasShown = icon_.isVisible();
    icon_.hide();
    return wasShown;
}

void QtTrayShell::showMessage(const QString& title, const QString& text) {
    icon_.showMessage(title, text, QSystemTrayIcon::Warning, kMessageShownMs);
}

void QtTrayShell::setMessageHandler(std::function<void(TrayMouseMessage)> handler) {
    handler_ = std::move(handler);
}

void QtTrayShell::onActivated(QSystemTrayIcon::ActivationReason reason) {
    if (!handler_) {
        return;
    }
    // Qt reports a release of the left button as Trigger and the right button as Context; a
    // double click arrives as Trigger, then DoubleClick.
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
