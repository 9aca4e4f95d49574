#include "platform/linux/XcbShmSegment.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include "platform/linux/XcbConnection.h"

namespace varnoset {

XcbShmSegment::XcbShmSegment(xcb_connection_t* connection, std::size_t size)
    : connection_(connection), size_(size) {
    shmId_ = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmId_ < 0) {
        return;
    }
    address_ = shmat(shmId_, nullptr, 0);
    if (address_ == reinterpret_cast<void*>(-1)) {
        address_ = nullptr;
        shmctl(shmId_, IPC_RMID, nullptr);
        shmId_ = -1;
        return;
    }
    seg_ = xcb_generate_id(connection_);
    // Read-write for the server: it writes the image into the segment.
    auto error = xcbReply(xcb_request_check(
        connection_,
        xcb_shm_attach_checked(connection_, seg_, static_cast<std::uint32_t>(shmId_), 0)));
    attachedToServer_ = !error;
    // Both sides hold it now (or the server never will): the id is no longer needed.
    shmctl(shmId_, IPC_RMID, nullptr);
}

XcbShmSegment::~XcbShmSegment() {
    detachFromServer();
    if (address_ != nullptr) {
        shmdt(address_);
    }
}

void XcbShmSegment::detachFromServer() {
    if (attachedToServer_) {
        xcb_shm_detach(connection_, seg_);
        xcb_flush(connection_);
        attachedToServer_ = false;
    }
}

}  // namespace varnoset
