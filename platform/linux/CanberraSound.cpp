#include "CanberraSound.h"

#include <canberra.h>

#include <QApplication>
#include <QDir>
#include <QFile>

// The resource lives in this static library: make sure the linker keeps it. Q_INIT_RESOURCE
// declares its function in the enclosing namespace, so this stays at global scope.
static void initCaptureSoundResource() {
    Q_INIT_RESOURCE(capture_sound);
}

namespace {

ca_context* newContext() {
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS) {
        return nullptr;
    }
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Varnoset", CA_PROP_APPLICATION_ID,
                            "varnoset", nullptr);
    return context;
}

}  // namespace

namespace varnoset {

namespace {
constexpr char kSoundResource[] = ":/wave/TYPE";
constexpr char kEventId[] = "varnoset-capture";
}  // namespace

CanberraSound::CanberraSound()
    : context_(newContext(), &ca_context_destroy),
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

bool CanberraSound::playCaptureSound() {
    if (!writeSoundFile()) {
        return false;
    }
    if (play()) {
        return true;
    }
    // A context whose server went away keeps failing even once a server runs again (a restarted
    // PulseAudio, say): connect afresh and try once more.
    context_.reset(newContext());
    return play();
}

bool CanberraSound::play() {
    if (!context_) {
        return false;
    }
    // Returns once the server has the request (an unreachable server fails at once); the
    // playback itself runs in the background.
    const QByteArray path = QFile::encodeName(soundFile_.fileName());
    return ca_context_play(context_.get(), 0, CA_PROP_EVENT_ID, kEventId, CA_PROP_MEDIA_FILENAME,
                           path.constData(), CA_PROP_CANBERRA_CACHE_CONTROL, "permanent",
                           nullptr) == CA_SUCCESS;
}

void CanberraSound::beep() {
    QApplication::beep();
}

}  // namespace varnoset
