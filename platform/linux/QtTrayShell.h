#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include "platform/TrayShell.h"

namespace varnoset {

// The notification area through Qt's system tray support (XEmbed or StatusNotifierItem).
class QtTrayShell final : public QObject, public TrayShell {
    Q_OBJECT
public:
    // noHostNotice, when given, is written to the standard error output once when the session
    // has no notification area to show the icon in.
    explicit QtTrayShell(QObject* parent = nullptr, QString noHostNotice = {});

    bool add(const TrayIconRecord& record) override;
    bool modify(const TrayIconRecord& record) override;
    bool remove(const TrayIconRecord& record) override;
    void showMessage(const QString& title, const QString& text) override;
    void setMessageHandler(std::function<void(TrayMouseMessage)> handler) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    std::function<void(TrayMouseMessage)> handler_;
    QString noHostNotice_;
};

}  // namespace varnoset
