#pragma once

#include <cstddef>
#include <cstdint>

struct xcb_connection_t;

namespace varnoset {

// A System V shared memory segment attached both here and in the X server (MIT-SHM), so that
// the server can write an image straight into this process's memory. The segment is marked for
// removal as soon as both sides hold it, so it goes away even when the process dies. This process
// may write into it too: a picture lent the segment keeps its pixels there.
class XcbShmSegment {
public:
    // Throws nothing: check valid(); an invalid segment holds nothing.
    XcbShmSegment(xcb_connection_t* connection, std::size_t size);
    ~XcbShmSegment();
    XcbShmSegment(const XcbShmSegment&) = delete;
    XcbShmSegment& operator=(const XcbShmSegment&) = delete;

    bool valid() const { return attachedToServer_; }
    std::size_t size() const { return size_; }
    std::uint32_t serverId() const { return seg_; }
    std::uint8_t* data() { return static_cast<std::uint8_t*>(address_); }
    const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(address_); }
    // The server lets go of it (while the connection is still open); this process keeps it.
    void detachFromServer();

private:
    xcb_connection_t* connection_;
    std::size_t size_;
    int shmId_ = -1;
    void* address_ = nullptr;
    std::uint32_t seg_ = 0;
    bool attachedToServer_ = false;
};

}  // namespace varnoset
