// The main window's form: saving the options, the page-size and footer options, the enlarged
// form, the keyboard's focus and tab order, and captions that are never clipped.
#include "tests/app/MainWindowFixture.h"

namespace varnoset::main_window_test {

TEST_F(MainWindowTest, SaveOptionsWritesTheControlsAndSaysSo) {
    start();
    captureScreen();
    QCoreApplication::processEvents();
    child<QCheckBox>("CheckBox2").click();
    child<QRadioButton>("RadioButton2").click();
    child<QScrollBar>("ScrollBar1").setValue(12);
    child<QScrollBar>("ScrollBar2").setValue(-4);
    child<QComboBox>("ComboBox2").setCurrentIndex(-1);
    child<QComboBox>("ComboBox1").setCurrentIndex(1);
    action("NoDialog2").trigger();
    action("N3Dot1").trigger();
    action("key2").trigger();  // F2
    {
        MessageBoxAnswer answer;
        action("Save1").trigger();
        EXPECT_TRUE(answer.seen());
        EXPECT_EQ(answer.text, "Options saved successfully");
    }
    EXPECT_TRUE(stores("\"Inversed\"=dword:00000001"));
    EXPECT_TRUE(stores("\"Contrast\"=dword:0000000c"));
    EXPECT_TRUE(stores("\"Brightness\"=dword:fffffffc"));
    EXPECT_TRUE(stores("\"Copies\"=dword:ffffffff"));
    EXPECT_TRUE(stores("\"DefPrinter\"=\"Inkjet\""));
    EXPECT_TRUE(stores("\"Direct\"=dword:00000001"));
    EXPECT_TRUE(stores("\"FrameSize\"=dword:00000003"));
    EXPECT_TRUE(stores("\"Hotkey\"=dword:00000071"));
    // Saving writes the orientation as it is now.
    EXPECT_TRUE(stores("\"Portrait\"=dword:00000001"));
    EXPECT_TRUE(stores("\"Landscape\"=dword:00000000"));

    // The next run reads them back (the printer once the window is open).
    start();
    action("Open1").trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(isChecked("CheckBox2"));
    EXPECT_EQ(text("Label1"), "Brightness = 12");
    EXPECT_EQ(child<QComboBox>("ComboBox2").currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>("ComboBox1").currentText(), "Inkjet");
    EXPECT_TRUE(action("NoDialog1").isChecked());
    EXPECT_TRUE(action("NoDialog2").isChecked());
    EXPECT_TRUE(action("N3Dot1").isChecked());
    EXPECT_TRUE(action("key2").isChecked());
    EXPECT_EQ(platform_.tray.last.toolTip, "Varnoset\u00AE v3.00  [ Press F2 ]");
}

TEST_F(MainWindowTest, PageSizeTakesKeepProportionsOffAndRefusesItAfterwards) {
    start();
    captureScreen();
    ASSERT_TRUE(isChecked("CheckBox5"));
    child<QRadioButton>("RadioButton5").click();
    EXPECT_FALSE(isChecked("CheckBox5"));

    const int beeps = entries("beep");
    MessageBoxAnswer answer;
    clickWith("CheckBox5", Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return answer.seen(); }));
    EXPECT_EQ(answer.text, "Keeping Proportions not allowed\nif Picture = Page Size");
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_FALSE(isChecked("CheckBox5"));

    // With the normal size the box toggles as any other.
    child<QRadioButton>("RadioButton3").click();
    clickWith("CheckBox5", Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(isChecked("CheckBox5"));
    EXPECT_EQ(entries("beep"), beeps + 1);
}

TEST_F(MainWindowTest, TheFooterTextComesFromTheInputBoxAndBecomesTheHint) {
    start();
    captureScreen();
    EXPECT_EQ(child<QCheckBox>("CheckBox9").toolTip(),
              "Varnoset\u00AE v3.00 - Screen Capture and Printing");
    {
        ModalDialogDriver<QInputDialog> type([](QInputDialog& dialog) {
            dialog.setTextValue(QString(100, QLatin1Char('x')));
            dialog.accept();
        });
        clickWith("CheckBox9", Qt::RightButton);  // the right button opens it too
        EXPECT_TRUE(type.seen());
    }
    EXPECT_EQ(child<QCheckBox>("CheckBox9").toolTip(), QString(80, QLatin1Char('x')));
    EXPECT_FALSE(isChecked("CheckBox9"));
    {
        ModalDialogDriver<QInputDialog> cancel([](QInputDialog& dialog) { dialog.reject(); });
        action("Footer1").trigger();
        EXPECT_TRUE(cancel.seen());
    }
    EXPECT_EQ(child<QCheckBox>("CheckBox9").toolTip(), QString(80, QLatin1Char('x')));
}

TEST_F(MainWindowTest, EnlargingTwiceGivesTheSameWindowBackAndKeepsTheCorner) {
    TVarnosetMain& window = start();
    captureScreen();
    window.move(50, 60);
    QWidget& client = *window.centralWidget();
    const QSize normal = client.size();
    const QImage before = client.grab().toImage();
    const QFont font = child<QWidget>("CheckBox4").font();

    action("Resize1").trigger();
    EXPECT_TRUE(action("Resize1").isChecked());
    EXPECT_GT(client.width(), normal.width());
    EXPECT_NEAR(client.height(), normal.height() * 1.28, 2.0);
    // Controls inside a panel are scaled once, like the others.
    EXPECT_DOUBLE_EQ(child<QWidget>("CheckBox4").font().pointSizeF(), font.pointSizeF() * 1.28);
    EXPECT_DOUBLE_EQ(child<QWidget>("CheckBox1").font().pointSizeF(), font.pointSizeF() * 1.28);
    EXPECT_EQ(window.pos(), QPoint(50, 60));

    action("Resize1").trigger();
    EXPECT_EQ(client.size(), normal);
    EXPECT_EQ(child<QWidget>("CheckBox4").font(), font);
    EXPECT_EQ(client.grab().toImage(), before);
    EXPECT_EQ(window.pos(), QPoint(50, 60));

    // A start with the larger form stored looks just like a normal start enlarged once (both
    // starts read the same store).
    window_.reset();
    start();
    captureScreen();
    action("Resize1").trigger();
    const QImage enlarged = window_->centralWidget()->grab().toImage();
    window_.reset();
    storeValues({{"Resize", 1}});
    start();
    captureScreen();
    EXPECT_EQ(window_->centralWidget()->grab().toImage(), enlarged);
}

TEST_F(MainWindowTest, PrintHasTheFocusWhenAPictureArrivesAndTabWalksEveryControl) {
    start();
    captureScreen();
    ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "BitBtn1");

    QStringList walked;
    for (int i = 0; i < 40; ++i) {
        walked << QApplication::focusWidget()->objectName();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(QApplication::focusWidget(), &tab);
        // A repaint leaves the focus where the keyboard put it.
        window_->repaint();
        QCoreApplication::processEvents();
    }
    // Picture options, colours, printing options (each radio group at its checked button), Print,
    // then the tool bar.
    EXPECT_EQ(walked.mid(walked.indexOf("ScrollBox1"), 32).join(" "),
              "ScrollBox1 CheckBox1 CheckBox2 CheckBox8 Panel4 Panel5 CheckBox3 CheckBox7 Button2 "
              "Button3 CheckBox12 CheckBox13 CheckBox14 ScrollBar1 ScrollBar2 SpeedButton14 "
              "ComboBox1 ComboBox2 RadioButton1 CheckBox11 CheckBox9 CheckBox10 CheckBox4 "
              "CheckBox5 RadioButton3 BitBtn1 SpeedButton1 SpeedButton2 SpeedButton6 SpeedButton5 "
              "SpeedButton3 SpeedButton4");

    // A capture into the open window (the key armed again by a Resume) shows the new picture at
    // once, and Print has the focus again.
    child<QPushButton>("Button2").click();  // the shown picture reduced to 16 colours
    ASSERT_FALSE(samePixels(preview(), screenImage(screen_)));
    ASSERT_NE(QApplication::focusWidget()->objectName(), "BitBtn1");
    window_->state().HotkeyArmed = true;
    ASSERT_TRUE(platform_.hotkeys->press(kScreenHotkey));
    EXPECT_TRUE(samePixels(preview(), screenImage(screen_)));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "BitBtn1");
}

// Runs again at other dpis and with another family in place of the form's (ctest's
// main_window_captions_* runs).

TEST_F(MainWindowTest, NoCaptionIsClippedAtNormalOrEnlargedSize) {
    start();
    captureScreen();
    QWidget& client = *window_->centralWidget();
    for (const bool enlarged : {false, true}) {
        if (enlarged) {
            action("Resize1").trigger();
        }
        const std::string size = enlarged ? " enlarged" : " normal";
        int captions = 0;
        for (QWidget* control : client.findChildren<QWidget*>()) {
            const std::string name = control->objectName().toStdString() + size;
            const int needed = FormLayout::captionWidth(*control);
            // The size line's text changes with the picture; the shadow lies behind "V3.0".
            if (needed == 0 || control->objectName() == "Label7" ||
                control->objectName() == "VersionShadow") {
                continue;
            }
            ++captions;
            EXPECT_LE(needed, control->width()) << name;
            EXPECT_LE(control->fontMetrics().height(), control->height()) << name;
            // Whole inside its panel and the form, and over no other caption.
            const QRect in = control->geometry();
            EXPECT_TRUE(control->parentWidget()->rect().contains(in)) << name;
            for (QObject* object : control->parentWidget()->children()) {
                auto* other = qobject_cast<QWidget*>(object);
                if (other != nullptr && other != control &&
                    other->objectName() != "VersionShadow" &&
                    FormLayout::captionWidth(*other) > 0) {
                    EXPECT_FALSE(in.intersects(other->geometry()))
                        << name << " over " << other->objectName().toStdString();
                }
            }
        }
        EXPECT_GE(captions, 28);
    }
}

}  // namespace varnoset::main_window_test
