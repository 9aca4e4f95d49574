#pragma once

#include <QAbstractButton>

namespace varnoset {

// One of the two swap colours (`Panel4`, `Panel5`): a small box filled with its colour, drawn from
// the palette's Window role, and a button, so that the keyboard reaches it (Space chooses) and a
// screen reader announces it as one.
class ColorSwatch : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace varnoset
