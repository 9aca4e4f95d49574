// The picture processing controls: the image options pass, the bars, the colours, the colour
// depth, the preview and its size line.
#include <QActionGroup>
#include <QColorDialog>
#include <QKeyEvent>
#include <QScrollBar>
#include <QtMath>
#include <utility>

#include "app/Main.h"
#include "app/MessageBoxes.h"
#include "app/WaitCursor.h"
#include "app/settings/OptionRules.h"
#include "imaging/QtPictureConversion.h"
#include "imaging/ReduceColorDepth.h"
#include "imaging/SizeLine.h"

namespace varnoset {

namespace {

// The sixteen custom colours the colour dialog offers, as 0xBBGGRR.
constexpr ColorValue kCustomColors[16] = {
    0xEEEEEE, 0xDDDDEE, 0xDDEEDD, 0xEEDDDD, 0xDDDDDD, 0x99EEEE, 0xEEEEAA, 0xAAAAEE,
    0xE0E0E0, 0xD0D0D0, 0xC0C0C0, 0xB0B0B0, 0xA0A0A0, 0x909090, 0x808080, 0x707070};

QColor toQColor(ColorValue c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

}  // namespace

ImageOptions TVarnosetMain::imageOptions() const {
    ImageOptions o;
    o.red = CheckBox12->isChecked();
    o.green = CheckBox13->isChecked();
    o.blue = CheckBox14->isChecked();
    o.swap = CheckBox8->isChecked();
    o.color1 = state_.Color1;
    o.color2 = state_.Color2;
    o.brightness = ScrollBar1->value();
    o.contrast = ScrollBar2->value();
    o.invert = CheckBox2->isChecked();
    o.mirror = CheckBox3->isChecked();
    o.grey = CheckBox1->isChecked();
    o.frame = CheckBox7->isChecked();
    o.frameSize = state_.FrameSize;
    return o;
}

void TVarnosetMain::SetImageOptions() {
    // A direct swap is asked of one pass only: also of one that fails or does not run.
    const bool directSwap = std::exchange(state_.DirectSwapRequested, false);
    if (!state_.ProcessingEnabled) {
        return;
    }
    const WaitCursor wait;
    ImagePipeline::Result result =
        state_.pipeline.run(state_.SourcePicture, imageOptions(), directSwap);
    state_.PreviewPicture = std::move(result.preview);
    if (result.source) {
        state_.SourcePicture = std::move(*result.source);
        state_.SourceAltered = true;  // Undo brings back the picture as it came in
    }
    showPreview();
    FormPaint();
}

void TVarnosetMain::showPreview() {
    QPixmap pixmap = QPixmap::fromImage(toQImage(state_.PreviewPicture));
    // At Qt's scale, so that the natural size shows one picture pixel on one screen pixel.
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    Image1->setPixmap(pixmap);
    if (!previewStretched_) {
        Image1->resize(previewNaturalSize());
    }
}

QSize TVarnosetMain::previewNaturalSize() const {
    const QSizeF size = Image1->pixmap().deviceIndependentSize();
    return {qCeil(size.width()), qCeil(size.height())};
}

void TVarnosetMain::ScrollBar1Scroll() {
    barScrolled(*ScrollBar1, *Label1, Number::ScrollBar1);
}

void TVarnosetMain::ScrollBar2Scroll() {
    barScrolled(*ScrollBar2, *Label2, Number::ScrollBar2);
}

// The bar's label follows its thumb at once; the pass waits for the scroll's end.
void TVarnosetMain::barScrolled(const QScrollBar& bar, QLabel& label, Number holder) {
    label.setText(QString::fromStdString(barLabel(holder, bar.value())));
    scrollStep(bar);
}

// A change from code or the wheel ends its scroll at once; one made while a button or a key is
// held on the bar (which repeats) waits for the release.
void TVarnosetMain::scrollStep(const QScrollBar& bar) {
    scrollPending_ = true;
    if (!bar.isSliderDown() && !scrollHeld_) {
        endScroll();
    }
}

void TVarnosetMain::endScroll() {
    if (std::exchange(scrollPending_, false)) {
        SetImageOptions();
    }
}

void TVarnosetMain::watchScrollBar(QEvent::Type type, const QEvent& event) {
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress) {
        scrollHeld_ = true;
    } else if (type == QEvent::MouseButtonRelease || type == QEvent::FocusOut ||
               (type == QEvent::KeyRelease &&
                !static_cast<const QKeyEvent&>(event).isAutoRepeat())) {
        scrollHeld_ = false;
        endScroll();
    }
}

void TVarnosetMain::SpeedButton14Click() {
    ScrollBar1->setValue(0);
    ScrollBar2->setValue(0);
    Label1->setText(QStringLiteral("Brightness = 0"));
    Label2->setText(QStringLiteral("Contrast    = 0"));
    CheckBox12->setChecked(true);
    CheckBox13->setChecked(true);
    CheckBox14->setChecked(true);
    if (state_.SourceAltered) {
        if (platform_.clipboard->hasPicture()) {
            state_.SourcePicture = platform_.clipboard->picture();
        } else {
            platform_.sound->beep();
            showInformation(QStringLiteral("The Picture could not be restored"), this);
        }
        state_.SourceAltered = false;
    }
    SetImageOptions();
    FormPaint();
}

void TVarnosetMain::setPanelColor(ColorSwatch* panel, ColorValue color) {
    (panel == Panel4 ? state_.Color1 : state_.Color2) = color;
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    panel->setPalette(palette);
}

ColorValue TVarnosetMain::panelColor(const ColorSwatch* panel) const {
    return panel == Panel4 ? state_.Color1 : state_.Color2;
}

void TVarnosetMain::PanelColorClick(ColorSwatch* panel) {
    for (int i = 0; i < 16; ++i) {
        QColorDialog::setCustomColor(i, toQColor(kCustomColors[i]));
    }
    const QColor chosen =
        QColorDialog::getColor(toQColor(panelColor(panel)), this, panel->toolTip());
    if (chosen.isValid()) {
        setPanelColor(panel, rgbValue(chosen.red(), chosen.green(), chosen.blue()));
    }
}

void TVarnosetMain::CheckBox8MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        state_.DirectSwapRequested = true;
        SetImageOptions();
    }
}

void TVarnosetMain::NDotClick(int frameSize) {
    state_.FrameSize = frameSize;
    frameGroup_->actions().at(frameSize - 1)->setChecked(true);
}

void TVarnosetMain::Button2Click() {
    reduceSource(4);
}

void TVarnosetMain::Button3Click() {
    reduceSource(8);
}

// The captured picture itself goes down to that many bits per pixel; the options then apply to
// the reduced picture.
void TVarnosetMain::reduceSource(int bitsPerPixel) {
    ReduceColorDepth(state_.SourcePicture, bitsPerPixel);
    state_.PreviewPicture = state_.SourcePicture;
    SetImageOptions();
    state_.SourceAltered = true;
    FormPaint();
}

int TVarnosetMain::displayBits() const {
    return platform_.screen->bitsPerPixel();
}

void TVarnosetMain::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    FormPaint();
}

// Only the size line: the focus goes to Print when a picture arrives, never on a repaint, so that
// the keyboard can reach every control.
void TVarnosetMain::FormPaint() {
    const QString line = SizeLine(state_.SourcePicture, displayBits());
    if (Label7->text() != line) {
        Label7->setText(line);
    }
}

void TVarnosetMain::Image1Click() {
    if (previewStretched_) {
        ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        Image1->setScaledContents(false);
        Image1->resize(previewNaturalSize());
        previewStretched_ = false;
    } else {
        ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ScrollBox1->horizontalScrollBar()->setValue(0);
        ScrollBox1->verticalScrollBar()->setValue(0);
        Image1->setScaledContents(true);
        Image1->resize(ScrollBox1->size());
        previewStretched_ = true;
    }
}

void TVarnosetMain::applyFrameSizeMark() {
    if (state_.FrameSize >= 1 && state_.FrameSize <= 4) {
        frameGroup_->actions().at(state_.FrameSize - 1)->setChecked(true);
    }
}

}  // namespace varnoset
