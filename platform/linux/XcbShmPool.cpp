#include "platform/linux/XcbShmPool.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "platform/linux/XcbShmSegment.h"

namespace varnoset {

struct XcbShmPool::Shelf {
    xcb_connection_t* connection;
    std::unique_ptr<XcbShmSegment> ready;
    std::vector<XcbShmSegment*> lent;

    void keep(std::unique_ptr<XcbShmSegment> segment) {
        if (!ready || ready->size() < segment->size()) {
            ready = std::move(segment);
        }
    }
};

class XcbShmPool::Loan final : public PixelLoan {
public:
    Loan(std::unique_ptr<XcbShmSegment> segment, const std::shared_ptr<Shelf>& shelf)
        : segment_(std::move(segment)), shelf_(shelf) {
        shelf->lent.push_back(segment_.get());
    }
    ~Loan() override {
        if (const std::shared_ptr<Shelf> shelf = shelf_.lock()) {
            std::erase(shelf->lent, segment_.get());
            shelf->keep(std::move(segment_));
        }
    }
    Loan(const Loan&) = delete;
    Loan& operator=(const Loan&) = delete;

    std::span<std::uint8_t> bytes() override { return {segment_->data(), segment_->size()}; }

private:
    std::unique_ptr<XcbShmSegment> segment_;
    std::weak_ptr<Shelf> shelf_;
};

XcbShmPool::XcbShmPool(xcb_connection_t* connection)
    : shelf_(std::make_shared<Shelf>(Shelf{connection, nullptr, {}})) {}

XcbShmPool::~XcbShmPool() {
    // The connection may close before the last picture goes: the server lets go of those now.
    for (XcbShmSegment* segment : shelf_->lent) {
        segment->detachFromServer();
    }
}

std::unique_ptr<XcbShmSegment> XcbShmPool::take(std::size_t size) {
    if (shelf_->ready && shelf_->ready->size() >= size) {
        return std::move(shelf_->ready);
    }
    shelf_->ready.reset();
    auto segment = std::make_unique<XcbShmSegment>(shelf_->connection, size);
    if (!segment->valid()) {
        return nullptr;
    }
    return segment;
}

void XcbShmPool::giveBack(std::unique_ptr<XcbShmSegment> segment) {
    shelf_->keep(std::move(segment));
}

std::unique_ptr<PixelLoan> XcbShmPool::lend(std::unique_ptr<XcbShmSegment> segment) {
    return std::make_unique<Loan>(std::move(segment), shelf_);
}

}  // namespace varnoset
