#pragma once

#include <QLatin1String>
#include <functional>

class QAbstractButton;
class QAction;
class QWidget;

namespace varnoset {

inline constexpr QLatin1String kKeepProportionsRefusal(
    "Keeping Proportions not allowed\rif Picture = Page Size");

// "Picture = Page Size" switched on: "Keep Proportions" goes off.
void dropKeepProportions(QAbstractButton& keepProportions);

// A mouse button released over "Keep Proportions": while "Picture = Page Size" is on, beeps,
// explains in an information box that the two exclude each other and switches the box off
// again; otherwise does nothing.
void refuseKeepProportionsOnPageSize(QWidget* parent, QAbstractButton& keepProportions,
                                     const QAbstractButton& pageSize,
                                     const std::function<void()>& beep);

// The direct-printing item of the main menu and of the tray menu: each inverts its own check
// mark, so two items that start equal stay equal.
void toggleDirectPrinting(QAction& mainMenuItem, QAction& trayMenuItem);

}  // namespace varnoset
