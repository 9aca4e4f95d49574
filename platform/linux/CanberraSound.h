#pragma once

#include <QTemporaryFile>
#include <memory>

#include "platform/Sound.h"

struct ca_context;

namespace varnoset {

// The capture click through libcanberra, which hands it to the desktop's sound server
// (PulseAudio, or PipeWire's PulseAudio service) and plays it on the server's own thread.
// The click is the program's WAVE resource ":/wave/TYPE", written once to a temporary file
// because libcanberra plays files; the server keeps it as a cached sample afterwards. The file
// has no name (it is read through this process's descriptor), so however the program ends,
// nothing is left in the temporary folder.
// libcanberra and the sound libraries under it are loaded at the first click: a program that
// waits in the tray all day does not hold them before it captures.
class CanberraSound final : public Sound {
public:
    CanberraSound();
    ~CanberraSound() override;

    bool playCaptureSound() override;
    void beep() override;

private:
    struct Library;

    bool writeSoundFile();
    bool connect();
    bool play();

    std::unique_ptr<Library> library_;
    std::unique_ptr<ca_context, int (*)(ca_context*)> context_;
    QTemporaryFile soundFile_;
    bool soundFileWritten_ = false;
};

}  // namespace varnoset
