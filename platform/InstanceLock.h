#pragma once

#include <string>

namespace varnoset {

// A named lock held by one process of the user's session. The system releases it when the
// process ends, however it ends.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock; false when another process holds it.
    virtual bool acquire(const std::string& name) = 0;
    virtual void release() = 0;
};

}  // namespace varnoset
