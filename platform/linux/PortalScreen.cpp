#include "platform/linux/PortalScreen.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"

namespace varnoset {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Portal responses: 0 success, 1 cancelled by the user, 2 ended in another way.
constexpr uint kResponseSuccess = 0;
constexpr uint kResponseCancelled = 1;

Error failure(const QString& why) {
    return Error((QStringLiteral("The screen could not be captured: ") + why).toStdString());
}

// Receives the Response of one request while it lives.
class ResponseSubscription {
public:
    ResponseSubscription(QDBusConnection bus, QString path, QObject* receiver)
        : bus_(std::move(bus)), path_(std::move(path)), receiver_(receiver) {
        bus_.connect(kPortalService, path_, kRequestInterface, QStringLiteral("Response"),
                     receiver_, SLOT(onResponse(uint, QVariantMap)));
    }
    ~ResponseSubscription() {
        bus_.disconnect(kPortalService, path_, kRequestInterface, QStringLiteral("Response"),
                        receiver_, SLOT(onResponse(uint, QVariantMap)));
    }
    ResponseSubscription(const ResponseSubscription&) = delete;
    ResponseSubscription& operator=(const ResponseSubscription&) = delete;

private:
    QDBusConnection bus_;
    QString path_;
    QObject* receiver_;
};

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
    ResponseSubscription predicted(bus, handle, this);

    response_.reset();
    uri_.clear();
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    const QDBusReply<QDBusObjectPath> reply = bus.call(call, QDBus::Block, timeoutMs_);
    if (!reply.isValid()) {
        const QDBusError::ErrorType type = reply.error().type();
        if (type == QDBusError::NoReply || type == QDBusError::Timeout) {
            throw failure(QStringLiteral("the screenshot portal did not answer in time"));
        }
        throw failure(QStringLiteral("the desktop offers no screenshot portal (") +
                      reply.error().message() + QLatin1Char(')'));
    }
    // A portal older than the handle token chooses its own path.
    std::optional<ResponseSubscription> chosen;
    if (reply.value().path() != handle) {
        chosen.emplace(bus, reply.value().path(), this);
    }
    if (!response_) {
        QEventLoop loop;
        waiting_ = &loop;
        QTimer::singleShot(timeoutMs_, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting_ = nullptr;
    }
    if (!response_) {
        throw failure(QStringLiteral("the screenshot portal did not answer in time"));
    }
    if (*response_ == kResponseCancelled) {
        throw failure(QStringLiteral("the screenshot was cancelled"));
    }
    if (*response_ != kResponseSuccess) {
        throw failure(QStringLiteral("the screenshot portal refused the request"));
    }
    const QString file = QUrl(uri_).toLocalFile();
    QImage picture(file);
    QFile::remove(file);
    if (picture.isNull()) {
        throw failure(QStringLiteral("the screenshot portal's picture cannot be read"));
    }
    return picture;
}

void PortalScreen::onResponse(uint response, const QVariantMap& results) {
    response_ = response;
    uri_ = results.value(QStringLiteral("uri")).toString();
    if (waiting_ != nullptr) {
        waiting_->quit();
    }
}

}  // namespace varnoset
