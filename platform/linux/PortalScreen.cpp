#include "platform/linux/PortalScreen.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "platform/linux/PortalRequest.h"

namespace varnoset {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Portal responses: 0 success, 1 cancelled by the user, 2 ended in another way.
constexpr uint kResponseSuccess = 0;
constexpr uint kResponseCancelled = 1;
// The method itself answers at once, before any question is asked.
constexpr int kCallTimeoutMs = 25000;
// Sooner than this no person has answered a question: a "cancelled" then is the desktop's own
// refusal (KDE Plasma's portal answers so when it cannot save its picture).
constexpr qint64 kQuickestAnswerMs = 1000;

Error failure(const QString& why) {
    return Error((QStringLiteral("The screen could not be captured: ") + why).toStdString());
}

}  // namespace

PortalScreen::PortalScreen(int timeoutMs) : timeoutMs_(timeoutMs) {}

QSize PortalScreen::size() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    return (screen->virtualSize() * screen->devicePixelRatio());
}

QSize PortalScreen::dotsPerInch() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {96, 96};
    }
    return {qRound(screen->logicalDotsPerInchX()), qRound(screen->logicalDotsPerInchY())};
}

Picture PortalScreen::grab(const QRect& rect) {
    // Beyond the picture QImage::copy leaves zeros: black in RGB32.
    return fromQImage(shoot().convertToFormat(QImage::Format_RGB32).copy(rect),
                      PixelFormat::Device);
}

QImage PortalScreen::shoot() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        throw failure(QStringLiteral("there is no session bus"));
    }
    // The portal answers on a request object whose path it derives from our bus name and the
    // token; listening there before calling catches even an answer that comes at once.
    const QString token =
        QStringLiteral("varnoset%1_%2").arg(QCoreApplication::applicationPid()).arg(++requests_);
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle =
        kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    auto* request = new PortalRequest(bus, handle, this);
    // Deleted here unless given up on, when a late answer ends it.
    std::unique_ptr<PortalRequest> waited(request);

    QElapsedTimer asked;
    asked.start();
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    const QDBusReply<QDBusObjectPath> reply =
        bus.call(call, QDBus::Block, std::min(timeoutMs_, kCallTimeoutMs));
    if (!reply.isValid()) {
        const QDBusError::ErrorType type = reply.error().type();
        if (type == QDBusError::NoReply || type == QDBusError::Timeout) {
            throw failure(QStringLiteral("the screenshot portal did not answer in time"));
        }
        throw failure(QStringLiteral("the desktop offers no screenshot portal (") +
                      reply.error().message() + QLatin1Char(')'));
    }
    request->listenAt(reply.value().path());
    if (!request->response()) {
        QEventLoop loop;
        connect(request, &PortalRequest::answered, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs_, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!request->response()) {
        waited.release()->abandon();
        throw failure(QStringLiteral("the screenshot portal did not answer in time (%1 s). If the "
                                     "desktop asks whether to allow screenshots, answer it and "
                                     "capture again.")
                          .arg((timeoutMs_ + 999) / 1000));
    }
    const QString file = request->file();
    const QImage picture = file.isEmpty() ? QImage() : QImage(file);
    if (!file.isEmpty()) {
        QFile::remove(file);
    }
    const uint response = *request->response();
    if (response == kResponseCancelled && asked.elapsed() >= kQuickestAnswerMs) {
        throw failure(QStringLiteral("the screenshot was cancelled"));
    }
    if (response != kResponseSuccess) {
        throw failure(QStringLiteral("the desktop's screenshot portal refused the request"));
    }
    if (picture.isNull()) {
        throw failure(QStringLiteral("the screenshot portal's picture cannot be read"));
    }
    return picture;
}

}  // namespace varnoset
