#pragma once

#include <cstddef>
#include <memory>

#include "imaging/Picture.h"

struct xcb_connection_t;

namespace varnoset {

class XcbShmSegment;

// The shared memory segments a screen grabs into. A full grab is lent, segment and all, to the
// picture it fills, so its pixels are never copied; the picture gives the segment back when it is
// destroyed, and the pool keeps the largest one returned ready for the next grab. Destroying the
// pool takes the lent segments from the server; their pictures keep their pixels.
class XcbShmPool {
public:
    explicit XcbShmPool(xcb_connection_t* connection);
    ~XcbShmPool();
    XcbShmPool(const XcbShmPool&) = delete;
    XcbShmPool& operator=(const XcbShmPool&) = delete;

    // A segment of at least `size` bytes that the server can write into: the one kept ready when
    // it is large enough, else a new one; null when the server cannot reach this process's memory.
    std::unique_ptr<XcbShmSegment> take(std::size_t size);
    // Keeps the segment ready for the next grab, unless a larger one is kept already.
    void giveBack(std::unique_ptr<XcbShmSegment> segment);
    // The segment as the pixels of a picture; it comes back here when the picture lets go of it.
    std::unique_ptr<PixelLoan> lend(std::unique_ptr<XcbShmSegment> segment);

private:
    struct Shelf;
    class Loan;
    std::shared_ptr<Shelf> shelf_;  // shared with the loans, which outlive the pool
};

}  // namespace varnoset
