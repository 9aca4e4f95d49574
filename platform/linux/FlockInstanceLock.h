#pragma once

#include "platform/InstanceLock.h"

namespace varnoset {

// The instance lock as an exclusive flock() on a file in the user's private runtime folder
// (privateRuntimeFolder). The kernel drops the lock when the process ends, also by a crash, so a
// killed copy never blocks the next start. Where no lock can be made, acquire() refuses: two
// copies must never run unknowingly.
class FlockInstanceLock final : public InstanceLock {
public:
    FlockInstanceLock() = default;
    ~FlockInstanceLock() override;
    FlockInstanceLock(const FlockInstanceLock&) = delete;
    FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;

    bool acquire(const std::string& name) override;
    void release() override;

private:
    int fd_ = -1;
};

}  // namespace varnoset
