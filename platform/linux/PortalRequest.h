#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

namespace varnoset {

// One request to a desktop portal, heard on its request object (org.freedesktop.portal.Request)
// until its Response comes. A request given up on keeps listening: a late answer's file is
// removed unread, and the request then goes.
class PortalRequest final : public QObject {
    Q_OBJECT
public:
    PortalRequest(QDBusConnection bus, const QString& path, QObject* parent);
    ~PortalRequest() override;

    // A portal older than the handle token answers on a path of its own choosing.
    void listenAt(const QString& path);
    const std::optional<uint>& response() const { return response_; }
    // The local file the answer names, if any.
    QString file() const;
    void abandon();

signals:
    void answered();

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    QDBusConnection bus_;
    QStringList paths_;
    std::optional<uint> response_;
    QVariantMap results_;
    bool abandoned_ = false;
};

}  // namespace varnoset
