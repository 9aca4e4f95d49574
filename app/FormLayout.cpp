#include "app/FormLayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace varnoset {

namespace {

constexpr double kDesignDpi = 96.0;

int scaled(int v, double scale) {
    return static_cast<int>(std::lround(v * scale));
}

// Edges, not sizes, are scaled, so controls that touched in the design never overlap.
QRect scaled(const QRect& r, double scale) {
    const QPoint topLeft(scaled(r.left(), scale), scaled(r.top(), scale));
    const QPoint end(scaled(r.left() + r.width(), scale), scaled(r.top() + r.height(), scale));
    return {topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())};
}

bool inside(const QWidget* widget, const std::vector<QWidget*>& skip) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (std::find(skip.begin(), skip.end(), w) != skip.end()) {
            return true;
        }
    }
    return false;
}

bool rowsOverlap(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

}  // namespace

FormLayout::FormLayout(QWidget& form, const std::vector<QWidget*>& skip)
    : form_(form), designFont_(form.font()), designSize_(form.size()) {
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (!inside(child->parentWidget(), skip)) {
            controls_.push_back({child, child->geometry(), !inside(child, skip)});
        }
    }
}

int FormLayout::captionWidth(const QWidget& control) {
    if (qobject_cast<const QCheckBox*>(&control) != nullptr ||
        qobject_cast<const QRadioButton*>(&control) != nullptr) {
        return static_cast<const QAbstractButton&>(control).text().isEmpty()
                   ? 0
                   : control.sizeHint().width();
    }
    if (const auto* tool = qobject_cast<const QToolButton*>(&control)) {
        const bool showsText = tool->toolButtonStyle() != Qt::ToolButtonIconOnly;
        return showsText && !tool->text().isEmpty() ? tool->sizeHint().width() : 0;
    }
    if (const auto* push = qobject_cast<const QPushButton*>(&control)) {
        if (push->text().isEmpty()) {
            return 0;
        }
        // Not the size hint: styles give every button with text a minimum width of their own.
        const QStyle& style = *push->style();
        const int text = push->fontMetrics().size(Qt::TextShowMnemonic, push->text()).width();
        const int icon = push->icon().isNull() ? 0 : push->iconSize().width() + 4;
        const int margins = 2 * (style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, push) +
                                 style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, push));
        return text + icon + margins;
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text().isEmpty() || label->wordWrap() ? 0 : label->sizeHint().width();
    }
    return 0;
}

void FormLayout::apply(double scale) {
    scale_ = scale * form_.logicalDpiY() / kDesignDpi;
    QFont font = designFont_;
    font.setPointSizeF(designFont_.pointSizeF() * scale);
    form_.setFont(font);
    for (const Control& c : controls_) {
        if (c.widget != nullptr) {
            c.widget->setGeometry(scaled(c.design, scale_));
        }
    }
    form_.setFixedSize(scaled(designSize_.width(), scale_), scaled(designSize_.height(), scale_));
    fitCaptions();
}

void FormLayout::fitCaptions() {
    for (const Control& c : controls_) {
        if (c.widget == nullptr || !c.fitted || c.widget->isHidden()) {
            continue;
        }
        c.widget->ensurePolished();
        const int needed = captionWidth(*c.widget);
        if (needed > c.widget->width()) {
            widen(*c.widget, needed);
        }
    }
}

const FormLayout::Control* FormLayout::find(const QWidget* widget) const {
    for (const Control& c : controls_) {
        if (c.widget == widget) {
            return &c;
        }
    }
    return nullptr;
}

void FormLayout::widen(QWidget& control, int width) {
    const QRect before = control.geometry();
    control.resize(width, before.height());
    // What stood to the right on the same rows moves along, keeping its design distance.
    const Control* placed = find(&control);
    for (QObject* object : control.parentWidget()->children()) {
        auto* sibling = qobject_cast<QWidget*>(object);
        const Control* other = find(sibling);
        if (other == nullptr || sibling == &control || sibling->x() <= before.right() ||
            !rowsOverlap(sibling->geometry(), before)) {
            continue;
        }
        const int gap =
            placed != nullptr ? std::max(0, other->design.left() - placed->design.right() - 1) : 0;
        const int by = control.geometry().right() + 1 + scaled(gap, scale_) - sibling->x();
        if (by > 0) {
            pushRight(*sibling, by);
        }
    }
    growParentFor(control);
}

void FormLayout::pushRight(QWidget& moved, int by) {
    const QRect before = moved.geometry();
    moved.move(before.x() + by, before.y());
    growParentFor(moved);
}

// A panel (or the form) grows so that the control keeps the margin it had on its right; the form
// takes the controls that span it along.
void FormLayout::growParentFor(const QWidget& control) {
    QWidget& parent = *control.parentWidget();
    const Control* placed = find(&control);
    const Control* parentPlaced = find(&parent);
    const int designWidth = &parent == &form_         ? designSize_.width()
                            : parentPlaced != nullptr ? parentPlaced->design.width()
                                                      : parent.width();
    const int margin = placed != nullptr
                           ? std::max(0, scaled(designWidth - placed->design.right() - 1, scale_))
                           : 0;
    const int needed = control.geometry().right() + 1 + margin;
    if (needed <= parent.width()) {
        return;
    }
    if (&parent != &form_) {
        widen(parent, needed);
        return;
    }
    const int grown = needed - parent.width();
    for (const Control& c : controls_) {
        if (c.widget != nullptr && c.widget->parentWidget() == &form_ && c.design.left() <= 8 &&
            c.design.right() + 1 >= designSize_.width() - 8) {
            c.widget->resize(c.widget->width() + grown, c.widget->height());
        }
    }
    form_.setFixedSize(needed, form_.height());
}

}  // namespace varnoset
