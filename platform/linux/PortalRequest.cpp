#include "platform/linux/PortalRequest.h"

#include <QFile>
#include <QUrl>

namespace varnoset {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kResponse = QStringLiteral("Response");

}  // namespace

PortalRequest::PortalRequest(QDBusConnection bus, const QString& path, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    listenAt(path);
}

PortalRequest::~PortalRequest() {
    for (const QString& path : paths_) {
        bus_.disconnect(kPortalService, path, kRequestInterface, kResponse, this,
                        SLOT(onResponse(uint, QVariantMap)));
    }
}

void PortalRequest::listenAt(const QString& path) {
    if (!paths_.contains(path) && bus_.connect(kPortalService, path, kRequestInterface, kResponse,
                                               this, SLOT(onResponse(uint, QVariantMap)))) {
        paths_ << path;
    }
}

QString PortalRequest::file() const {
    return QUrl(results_.value(QStringLiteral("uri")).toString()).toLocalFile();
}

void PortalRequest::abandon() {
    abandoned_ = true;
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    if (response_) {
        return;
    }
    response_ = response;
    results_ = results;
    if (abandoned_) {
        // Nobody waits for the picture any more: the desktop keeps no copy of it either.
        if (!file().isEmpty()) {
            QFile::remove(file());
        }
        deleteLater();
        return;
    }
    emit answered();
}

}  // namespace varnoset
