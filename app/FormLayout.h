#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace varnoset {

// The main window's controls at their design places. The design is drawn in pixels of a 96 dpi
// screen; each layout puts every control and the form's font at a scale of the design (never of
// an earlier layout, so a scale and its inverse give back the same form), then widens each
// control whose caption needs more room in the font and dpi in use, pushing what stands to its
// right along and growing its panel and the form where needed.
class FormLayout {
public:
    // Records the design of every control under form; those in skip (and their children) are
    // left to their own layout, and their captions are not fitted.
    FormLayout(QWidget& form, const std::vector<QWidget*>& skip);

    // Lays the form out at scale × the design (× the screen's dpi / 96).
    void apply(double scale);

    // The width a control's caption needs; 0 for a control without a caption.
    static int captionWidth(const QWidget& control);

private:
    struct Control {
        QPointer<QWidget> widget;
        QRect design;
        bool fitted;  // its caption is fitted
    };

    void fitCaptions();
    void widen(QWidget& control, int width);
    void pushRight(QWidget& moved, int by);
    void growParentFor(const QWidget& control);
    const Control* find(const QWidget* widget) const;

    QWidget& form_;
    QFont designFont_;
    QSize designSize_;
    std::vector<Control> controls_;
    double scale_ = 1.0;
};

}  // namespace varnoset
