#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "capture/CaptureRect.h"
#include "capture/RubberBand.h"
#include "capture/ScreenPixels.h"
#include "capture/StillSelection.h"
#include "imaging/Picture.h"

class QEventLoop;

namespace varnoset {

class Screen;

// The rectangle overlay: a borderless, top-most window over the whole screen (every monitor) that
// shows the screen as it was when the overlay was made, one picture pixel to one screen pixel at
// any scale, and lets the user drag a rubber band over it. The band and the selection are in
// screen pixels. It ends at the first mouse release; the keyboard cannot cancel it. The screen is
// read once, when the overlay is made; the selection is cut from that picture.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    // The modal result when a mouse release ended the overlay, and when anything else closed it.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    // Places the overlay over the screen and copies the whole screen as its still picture.
    explicit TForm2(Screen& screen);
    ~TForm2() override;

    // Shows the overlay and runs a nested event loop until it ends; returns the modal result.
    int showModal();
    const RubberBand& band() const { return band_; }

    // Runs a new overlay for one selection: the normalised selection when a release ended it
    // (all zero after a click without a drag) with the still picture, nothing when it was closed
    // otherwise.
    static std::optional<StillSelection> selectRectangle(Screen& screen);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeOverScreen();
    QPoint screenPixel(const QMouseEvent* event) const;
    void drawOutline(QPoint anchor, QPoint current);
    void endModal(int result);

    Screen& screen_;
    ScreenPixels pixels_;
    Picture still_;   // the screen as it was, in its own format
    QImage surface_;  // the still screen, with the band drawn into it
    RubberBand band_;
    int modalResult_ = 0;
    QEventLoop* modalLoop_ = nullptr;
};

}  // namespace varnoset
