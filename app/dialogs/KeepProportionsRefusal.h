#pragma once

#include <QLatin1String>
#include <functional>

class QAbstractButton;
class QWidget;

namespace varnoset {

inline constexpr QLatin1String kKeepProportionsRefusal(
    "Keeping Proportions not allowed\rif Picture = Page Size");

// A mouse button released over "Keep Proportions": while "Picture = Page Size" is on, beeps,
// explains in an information box that the two exclude each other and switches the box off
// again; otherwise does nothing.
void refuseKeepProportionsOnPageSize(QWidget* parent, QAbstractButton& keepProportions,
                                     const QAbstractButton& pageSize,
                                     const std::function<void()>& beep);

}  // namespace varnoset
