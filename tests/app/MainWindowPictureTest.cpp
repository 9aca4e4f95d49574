// The main window's picture: the image options and reductions, Undo through the clipboard, the
// colour bars, swapping colours, pasting, and picture files.
#include "tests/app/MainWindowFixture.h"

namespace varnoset::main_window_test {

TEST_F(MainWindowTest, TheOptionBoxesAndTheReductionRebuildThePreview) {
    start();
    captureScreen();
    const QImage screen = screenImage(screen_);

    child<QCheckBox>("CheckBox2").click();
    EXPECT_TRUE(samePixels(preview(), mapped(screen, [](QColor c) {
                               return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
                           })));
    child<QCheckBox>("CheckBox2").click();
    EXPECT_TRUE(samePixels(preview(), screen));

    // "16" rewrites the captured picture itself; the size line counts it at 4 bits.
    child<QPushButton>("Button2").click();
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 1 KB with 16 Colors");
    EXPECT_TRUE(inSixteenColors(preview()));
    EXPECT_FALSE(samePixels(preview(), screen));
    // Options apply on top of the reduced picture and stay within its palette.
    child<QCheckBox>("CheckBox3").click();
    EXPECT_TRUE(inSixteenColors(preview()));
    child<QCheckBox>("CheckBox3").click();

    // Undo fetches the unreduced capture back from the clipboard.
    const int reads = entries("clipboard read");
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(entries("clipboard read"), reads + 1);
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 5 KB with 64M Colors");
    EXPECT_TRUE(samePixels(preview(), screen));
    // Without a reduction since, Undo leaves the picture alone.
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(entries("clipboard read"), reads + 1);
}

TEST_F(MainWindowTest, UndoRestoresWhatTheClipboardHoldsOrSaysItCannot) {
    start();
    captureScreen();

    // A copy between the reduction and Undo: Undo brings back the copied, processed picture.
    child<QPushButton>("Button3").click();
    child<QCheckBox>("CheckBox3").click();  // mirrored
    const QImage copied = preview();
    action("CopytoClipboard1").trigger();
    EXPECT_EQ(platform_.clipboard->pictureSets, 2);
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 5 KB with 64M Colors");
    EXPECT_TRUE(samePixels(preview(), mirrored(copied)));
    child<QCheckBox>("CheckBox3").click();
    EXPECT_TRUE(samePixels(preview(), copied));

    // Nothing on the clipboard: a beep, the message, and the reduced picture stays.
    child<QPushButton>("Button2").click();
    platform_.clipboard->held.reset();
    const int beeps = entries("beep");
    {
        MessageBoxAnswer answer;
        child<QToolButton>("SpeedButton14").click();
        EXPECT_TRUE(answer.seen());
        EXPECT_EQ(answer.text, "The Picture could not be restored");
    }
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_FALSE(window_->state().SourceAltered);
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 1 KB with 16 Colors");
}

TEST_F(MainWindowTest, UndoAfterAReductionThroughTheDesktopClipboard) {
    PlatformServices services = platform_.services();
    services.clipboard = std::make_unique<QtClipboard>();
    platform_.clipboard = nullptr;
    window_ = std::make_unique<TVarnosetMain>(std::move(services));
    ASSERT_TRUE(window_->FormCreate());
    captureScreen();
    const QImage screen = screenImage(screen_);
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 5 KB with 64M Colors");
    EXPECT_TRUE(samePixels(preview(), screen));

    child<QPushButton>("Button2").click();
    EXPECT_TRUE(inSixteenColors(preview()));
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 5 KB with 64M Colors");
    EXPECT_TRUE(samePixels(preview(), screen));

    child<QPushButton>("Button2").click();
    child<QCheckBox>("CheckBox2").click();
    const QImage copied = preview();
    child<QToolButton>("SpeedButton6").click();  // the tool button copies too
    child<QCheckBox>("CheckBox2").click();
    child<QToolButton>("SpeedButton14").click();
    EXPECT_TRUE(samePixels(preview(), copied));
}

TEST_F(MainWindowTest, TheBarLabelsFollowTheThumbAndThePictureTheEndOfTheScroll) {
    start();
    captureScreen();
    const QImage screen = screenImage(screen_);
    auto& brightness = child<QScrollBar>("ScrollBar1");
    auto& contrast = child<QScrollBar>("ScrollBar2");

    brightness.setValue(12);  // a step: the scroll ends at once
    EXPECT_EQ(text("Label1"), "Brightness = 12");
    EXPECT_TRUE(samePixels(preview(), mapped(screen, [](QColor c) {
                               return QColor(std::min(255, c.red() + 12),
                                             std::min(255, c.green() + 12),
                                             std::min(255, c.blue() + 12));
                           })));
    contrast.setValue(-4);
    EXPECT_EQ(text("Label2"), "Contrast    = -4");
    EXPECT_FALSE(samePixels(preview(), screen));

    // Undo puts both bars and labels back to 0.
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(brightness.value(), 0);
    EXPECT_EQ(contrast.value(), 0);
    EXPECT_EQ(text("Label1"), "Brightness = 0");
    EXPECT_EQ(text("Label2"), "Contrast    = 0");
    EXPECT_TRUE(samePixels(preview(), screen));

    // While the thumb is dragged only the label follows; the release recomputes the picture.
    brightness.setSliderDown(true);
    brightness.setValue(-40);
    EXPECT_EQ(text("Label1"), "Brightness = -40");
    EXPECT_TRUE(samePixels(preview(), screen));
    brightness.setSliderDown(false);
    const QImage darker = mapped(screen, [](QColor c) {
        return QColor(std::max(0, c.red() - 40), std::max(0, c.green() - 40),
                      std::max(0, c.blue() - 40));
    });
    EXPECT_TRUE(samePixels(preview(), darker));

    // A held arrow key repeats its step; the picture follows once, when the key is let go.
    auto key = [&](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        QCoreApplication::sendEvent(&brightness, &event);
    };
    key(QEvent::KeyPress, false);
    for (int i = 0; i < 3; ++i) {
        key(QEvent::KeyRelease, true);
        key(QEvent::KeyPress, true);
    }
    const int moved = brightness.value();
    EXPECT_EQ(std::abs(moved + 40), 16);
    EXPECT_EQ(text("Label1"), QStringLiteral("Brightness = %1").arg(moved));
    EXPECT_TRUE(samePixels(preview(), darker));
    key(QEvent::KeyRelease, false);
    EXPECT_TRUE(samePixels(preview(), mapped(screen, [moved](QColor c) {
                               return QColor(std::clamp(c.red() + moved, 0, 255),
                                             std::clamp(c.green() + moved, 0, 255),
                                             std::clamp(c.blue() + moved, 0, 255));
                           })));
}

TEST_F(MainWindowTest, SwapColoursDirectlyAndThroughTheChosenPanels) {
    start();
    captureScreen();
    const QImage screen = screenImage(screen_);
    ASSERT_EQ(colorAt(screen, 0, 0), rgb(0, 0, 0));

    // A right click exchanges black and white into the picture itself; the box stays off.
    clickWith("CheckBox8", Qt::RightButton);
    EXPECT_FALSE(isChecked("CheckBox8"));
    EXPECT_EQ(colorAt(preview(), 0, 0), rgb(255, 255, 255));
    child<QCheckBox>("CheckBox2").click();
    child<QCheckBox>("CheckBox2").click();
    EXPECT_EQ(colorAt(preview(), 0, 0), rgb(255, 255, 255));
    EXPECT_EQ(colorAt(preview(), 1, 0), colorAt(screen, 1, 0));
    // A swap asked of a pass that does not run is not left for the next one.
    window_->state().ProcessingEnabled = false;
    window_->state().DirectSwapRequested = true;
    window_->SetImageOptions();
    window_->state().ProcessingEnabled = true;
    EXPECT_FALSE(window_->state().DirectSwapRequested);

    // The first colour becomes (1, 0, 1), the colour of pixel (1, 0); the second is kept.
    {
        ModalDialogDriver<QColorDialog> choose([](QColorDialog& dialog) {
            dialog.setCurrentColor(QColor(1, 0, 1));
            dialog.accept();
        });
        clickWith("Panel4", Qt::LeftButton);
        EXPECT_TRUE(choose.seen());
    }
    {
        ModalDialogDriver<QColorDialog> cancel([](QColorDialog& dialog) {
            dialog.setCurrentColor(QColor(9, 9, 9));
            dialog.reject();
        });
        clickWith("Panel5", Qt::LeftButton);
        EXPECT_TRUE(cancel.seen());
    }
    // A chosen colour waits for the next pass.
    EXPECT_EQ(colorAt(preview(), 1, 0), colorAt(screen, 1, 0));
    child<QCheckBox>("CheckBox8").click();
    EXPECT_EQ(colorAt(preview(), 1, 0), rgb(255, 255, 255));
    EXPECT_EQ(colorAt(preview(), 0, 0), rgb(1, 0, 1));
    EXPECT_EQ(colorAt(preview(), 2, 0), colorAt(screen, 2, 0));
    // Undo takes the right click's exchange back: the captured black pixel is black again.
    child<QToolButton>("SpeedButton14").click();
    EXPECT_EQ(colorAt(preview(), 0, 0), colorAt(screen, 0, 0));
}

TEST_F(MainWindowTest, PasteReplacesThePictureOrSaysThereIsNone) {
    TVarnosetMain& window = start();
    captureScreen();
    child<QCheckBox>("CheckBox3").click();  // mirrored, and stays so for the pasted picture

    Picture pasted(2, 3, PixelFormat::Rgb24);
    std::fill(pasted.bits().begin(), pasted.bits().end(), std::uint8_t{0x80});
    pasted.scanLine(0)[0] = 0xFF;  // the top-left pixel blue
    platform_.clipboard->held = pasted;
    action("PastefromClipboard1").trigger();
    EXPECT_EQ(text("Label7"), "Size 2 X 3  = 0 KB with 64M Colors");
    const QImage shown = preview();
    ASSERT_EQ(shown.size(), QSize(2, 3));
    EXPECT_EQ(colorAt(shown, 1, 0), rgb(0x80, 0x80, 0xFF));
    EXPECT_EQ(colorAt(shown, 0, 0), rgb(0x80, 0x80, 0x80));

    platform_.clipboard->held.reset();
    const int beeps = entries("beep");
    {
        MessageBoxAnswer answer;
        child<QToolButton>("SpeedButton5").click();
        EXPECT_EQ(answer.text, "There is no Picture on the Clipboard");
    }
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_EQ(text("Label7"), "Size 2 X 3  = 0 KB with 64M Colors");
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, SavedPicturesLoadBackAndTheFoldersAreKeptAtTheEnd) {
    start();
    captureScreen();
    child<QCheckBox>("CheckBox2").click();
    const QImage inverted = preview();
    const QString folder = QString::fromStdString((scratch_.path() / "pictures").string());
    std::filesystem::create_directories(folder.toStdString());
    const QString file = folder + "/shot.bmp";

    auto chooseFile = [&file](PictureFileDialog& dialog) {
        dialog.selectFile(file);
        static_cast<QDialog&>(dialog).accept();  // as the OK button does
    };
    {
        ModalDialogDriver<PictureFileDialog> dialog(chooseFile);
        MessageBoxAnswer answer;
        action("SaveImage1").trigger();
        EXPECT_TRUE(dialog.seen());
        EXPECT_EQ(answer.text, "Picture successfuly saved as .BMP");
    }
    ASSERT_TRUE(std::filesystem::exists(file.toStdString()));

    // Loading the saved, inverted picture with "Invert Colors" now off shows it as saved, and
    // puts it on the clipboard.
    child<QCheckBox>("CheckBox2").click();
    const int sets = platform_.clipboard->pictureSets;
    {
        ModalDialogDriver<PictureFileDialog> dialog(chooseFile);
        child<QToolButton>("SpeedButton1").click();
        EXPECT_TRUE(dialog.seen());
    }
    EXPECT_TRUE(samePixels(preview(), inverted));
    EXPECT_EQ(platform_.clipboard->pictureSets, sets + 1);

    window_.reset();
    EXPECT_TRUE(stores("\"SaveFolder\"=\"" + folder.toStdString() + "/\""));
    EXPECT_TRUE(stores("\"LoadFolder\"=\"" + folder.toStdString() + "/\""));
}

}  // namespace varnoset::main_window_test
