#pragma once

#include <QApplication>

namespace varnoset {

// The hour-glass cursor for the whole application while long picture work runs; the default
// cursor comes back however the work ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace varnoset
