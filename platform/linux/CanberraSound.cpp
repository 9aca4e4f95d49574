#include "platform/linux/CanberraSound.h"

#include <canberra.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "platform/linux/SharedLibrary.h"

// The resource lives in this static library: make sure the linker keeps it. Q_INIT_RESOURCE
// declares its function in the enclosing namespace, so this stays at global scope.
static void initCaptureSoundResource() {
    Q_INIT_RESOURCE(capture_sound);
}

namespace varnoset {

namespace {
constexpr char kLibrary[] = "libcanberra.so.0";
constexpr char kSoundResource[] = ":/wave/TYPE";
constexpr char kEventId[] = "varnoset-capture";

int destroyNothing(ca_context*) {
    return CA_SUCCESS;
}
}  // namespace

// The four calls the click needs from the library.
struct CanberraSound::Library {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_play) play = nullptr;

    // Null when the library or one of its calls is missing.
    static std::unique_ptr<Library> open() {
        const SharedLibrary canberra(kLibrary);
        auto library = std::make_unique<Library>();
        if (!canberra.find(library->create, "ca_context_create") ||
            !canberra.find(library->destroy, "ca_context_destroy") ||
            !canberra.find(library->changeProps, "ca_context_change_props") ||
            !canberra.find(library->play, "ca_context_play")) {
            return nullptr;
        }
        return library;
    }
};

CanberraSound::CanberraSound()
    : context_(nullptr, &destroyNothing),
      soundFile_(QDir::tempPath() + QStringLiteral("/varnoset-click-XXXXXX.wav")) {
    initCaptureSoundResource();
}

CanberraSound::~CanberraSound() = default;

bool CanberraSound::writeSoundFile() {
    if (soundFileWritten_) {
        return true;
    }
    QFile resource(QString::fromLatin1(kSoundResource));
    if (!resource.open(QIODevice::ReadOnly) || !soundFile_.open()) {
        return false;
    }
    const QByteArray wave = resource.readAll();
    soundFileWritten_ = soundFile_.write(wave) == wave.size() && soundFile_.flush();
    return soundFileWritten_;
}

// A fresh context; it reaches the sound server with its first sound.
bool CanberraSound::connect() {
    context_.reset();
    if (!library_) {
        library_ = Library::open();
        if (!library_) {
            return false;
        }
    }
    ca_context* context = nullptr;
    if (library_->create(&context) != CA_SUCCESS) {
        return false;
    }
    context_ = {context, library_->destroy};
    library_->changeProps(context, CA_PROP_APPLICATION_NAME, "Varnoset", CA_PROP_APPLICATION_ID,
                          "varnoset", nullptr);
    return true;
}

bool CanberraSound::playCaptureSound() {
    if (!writeSoundFile()) {
        return false;
    }
    if (context_ && play()) {
        return true;
    }
    // The first click, or a context whose server went away, which keeps failing even once a
    // server runs again (a restarted PulseAudio, say): connect afresh and try once more.
    return connect() && play();
}

bool CanberraSound::play() {
    // Returns once the server has the request (an unreachable server fails at once); the
    // playback itself runs in the background.
    // fileName() would give the file a name in the folder; the descriptor's path reads it
    // without one (libcanberra reads the file in this process).
    const QByteArray path =
        QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(soundFile_.handle());
    return library_->play(context_.get(), 0, CA_PROP_EVENT_ID, kEventId, CA_PROP_MEDIA_FILENAME,
                          path.constData(), CA_PROP_CANBERRA_CACHE_CONTROL, "permanent",
                          nullptr) == CA_SUCCESS;
}

void CanberraSound::beep() {
    QApplication::beep();
}

}  // namespace varnoset
