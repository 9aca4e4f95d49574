#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace varnoset::test {

// Tests run as root, and root writes into any folder whatever its mode. While this object lives,
// the calling thread gives up that override (CAP_DAC_OVERRIDE leaves its effective set, staying
// permitted), so a folder's missing write permission stops it as it stops any user. Without the
// capability it does nothing.
class DacOverrideDropped {
public:
    DacOverrideDropped() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        if ((saved_[0].effective & (1u << CAP_DAC_OVERRIDE)) == 0) {
            return;
        }
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        dropped_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~DacOverrideDropped() {
        if (dropped_) {
            syscall(SYS_capset, &header_, saved_);
        }
    }
    DacOverrideDropped(const DacOverrideDropped&) = delete;
    DacOverrideDropped& operator=(const DacOverrideDropped&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

}  // namespace varnoset::test
