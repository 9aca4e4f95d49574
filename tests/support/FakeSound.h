#pragma once

#include "platform/Sound.h"
#include "tests/support/FakeLog.h"

namespace varnoset::test {

// Logs the capture sound and the beep; the sound plays unless `playable` is false.
class FakeSound final : public Sound {
public:
    explicit FakeSound(Log& log) : log_(log) {}
    bool playable = true;
    bool playCaptureSound() override {
        log_.add(QStringLiteral("sound"));
        return playable;
    }
    void beep() override { log_.add(QStringLiteral("beep")); }

private:
    Log& log_;
};

}  // namespace varnoset::test
