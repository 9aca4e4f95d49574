// The main window wired to faked desktop seams, from start to end: the first start and the
// stored values, a second copy, the hotkeys, minimising and closing, printing at once, the tray
// menu, the editor and commands from later starts.
#include "tests/app/MainWindowFixture.h"

namespace varnoset::main_window_test {

TEST_F(MainWindowTest, FirstStartWritesTheDefaultsAndWaitsHiddenForTheHotkey) {
    ASSERT_FALSE(std::filesystem::exists(scratch_.storeFile()));
    TVarnosetMain& window = start();

    // The first run shows the landscape it stores.
    EXPECT_TRUE(stores("\"Landscape\"=dword:00000001"));
    EXPECT_TRUE(stores("\"Portrait\"=dword:00000000"));
    EXPECT_TRUE(stores("\"AutoCopy\"=dword:00000001"));
    EXPECT_EQ(store().find("SaveFolder"), std::string::npos);
    EXPECT_TRUE(isChecked("RadioButton1"));
    EXPECT_FALSE(isChecked("RadioButton2"));

    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.state().HotkeyArmed);
    EXPECT_FALSE(window.state().ProcessingEnabled);
    EXPECT_EQ(platform_.lock.name, "Varnoset_v3.00");
    EXPECT_EQ(platform_.lock.acquired, 1);

    // Mode 0 on PrintScreen: the key alone takes the screen, with Alt the window.
    const auto* screenKey = platform_.hotkeys->find(kScreenHotkey);
    const auto* windowKey = platform_.hotkeys->find(kWindowHotkey);
    ASSERT_NE(screenKey, nullptr);
    ASSERT_NE(windowKey, nullptr);
    EXPECT_EQ(screenKey->modifier, Hotkeys::Modifier::None);
    EXPECT_EQ(windowKey->modifier, Hotkeys::Modifier::Alt);
    EXPECT_EQ(screenKey->keySymbol, 0xff61u);
    ASSERT_FALSE(platform_.tray.calls.empty());
    EXPECT_EQ(platform_.tray.calls.front().rfind("add:", 0), 0u);
    EXPECT_EQ(platform_.tray.last.toolTip, "Varnoset\u00AE v3.00  [ Press PrintScreen ]");
    EXPECT_EQ(child<QCheckBox>("CheckBox11").toolTip(), "testhost  tester  - Unknown -");

    // The print system is asked for its printers only when the list is first wanted: here once
    // a capture has shown the window.
    EXPECT_TRUE(platform_.printLog.empty());
    captureScreen();
    QCoreApplication::processEvents();
    EXPECT_EQ(platform_.printLog, test::CallLog{"names"});
    EXPECT_EQ(child<QComboBox>("ComboBox1").currentText(), "Default Printer");

    // The end of the run gives the keys and the lock back and keeps the folders.
    window_.reset();
    EXPECT_EQ(platform_.lock.released, 1);
    EXPECT_TRUE(platform_.log.has("unregister -1"));
    EXPECT_NE(store().find("\"SaveFolder\"="), std::string::npos);
    EXPECT_NE(store().find("\"LoadFolder\"="), std::string::npos);

    // The next run reads the store and agrees.
    start();
    EXPECT_TRUE(isChecked("RadioButton1"));
    EXPECT_FALSE(isChecked("RadioButton2"));
}

TEST_F(MainWindowTest, StoredValuesThatContradictEachOtherLoadAsTheyFall) {
    start();
    window_.reset();
    storeValues({{"Landscape", 0},
                 {"Portrait", 0},
                 {"Proportion", 1},
                 {"Stretched", 1},
                 {"Contrast", 200},
                 {"Brightness", -300},
                 {"Copies", 25},
                 {"FrameSize", 7}});
    start();

    EXPECT_FALSE(isChecked("RadioButton1"));
    EXPECT_FALSE(isChecked("RadioButton2"));
    // "Picture = Page Size", read after "Keep Proportions", takes it off again, although the
    // normal size read last wins the group.
    EXPECT_FALSE(isChecked("RadioButton5"));
    EXPECT_TRUE(isChecked("RadioButton3"));
    EXPECT_FALSE(isChecked("CheckBox5"));
    // The crossed names: "Contrast" holds the brightness bar.
    EXPECT_EQ(child<QScrollBar>("ScrollBar1").value(), 127);
    EXPECT_EQ(child<QScrollBar>("ScrollBar2").value(), -127);
    EXPECT_EQ(text("Label1"), "Brightness = 127");
    EXPECT_EQ(text("Label2"), "Contrast    = -127");
    // Copies that select nothing show "1", and the store keeps them until a save.
    EXPECT_EQ(child<QComboBox>("ComboBox2").currentText(), "1");
    EXPECT_TRUE(stores("\"Copies\"=dword:00000019"));
    EXPECT_TRUE(action("N1Dot1").isChecked());
}

TEST_F(MainWindowTest, ASecondCopyEndsAtOnceWithoutTouchingAnything) {
    platform_.lock.heldElsewhere = true;
    window_ = std::make_unique<TVarnosetMain>(platform_.services());
    EXPECT_FALSE(window_->FormCreate());

    EXPECT_FALSE(platform_.log.has("register -2 alone ff61"));
    EXPECT_TRUE(platform_.hotkeys->registered.empty());
    EXPECT_FALSE(platform_.hotkeys->press(kScreenHotkey));  // no handler was installed
    EXPECT_TRUE(platform_.tray.calls.empty());
    EXPECT_FALSE(window_->isVisible());

    window_.reset();
    EXPECT_EQ(platform_.lock.released, 0);
    EXPECT_FALSE(std::filesystem::exists(scratch_.storeFile()));
    EXPECT_FALSE(platform_.log.has("unregister -2"));
}

TEST_F(MainWindowTest, TheScreenHotkeyCapturesThroughTheClipboardAndShowsThePicture) {
    TVarnosetMain& window = start();
    captureScreen();

    EXPECT_EQ(platform_.screen->grabs, std::vector<QRect>{QRect(QPoint(0, 0), screen_)});
    const QStringList expectedOrder{"sound", "grab 0,0 40x30", "clipboard set", "clipboard read"};
    const qsizetype first = platform_.log.entries.indexOf("sound");
    ASSERT_GE(first, 0);
    EXPECT_EQ(platform_.log.entries.mid(first, 4), expectedOrder);
    ASSERT_TRUE(platform_.clipboard->held);
    EXPECT_EQ(platform_.clipboard->held->width(), 40);

    EXPECT_TRUE(window.state().ProcessingEnabled);
    EXPECT_FALSE(window.state().HotkeyArmed);
    EXPECT_EQ(text("Label7"), "Size 40 X 30  = 5 KB with 64M Colors");
    EXPECT_TRUE(samePixels(preview(), screenImage(screen_)));
    // The picture fits the preview: no scroll bars.
    auto& box = child<QScrollArea>("ScrollBox1");
    EXPECT_FALSE(box.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(box.verticalScrollBar()->isVisible());

    // Disarmed while the window is open: a second press does nothing.
    platform_.hotkeys->press(kScreenHotkey);
    EXPECT_EQ(platform_.screen->grabs.size(), 1u);
    EXPECT_EQ(platform_.clipboard->pictureSets, 1);
}

TEST_F(MainWindowTest, EveryWayOfMinimisingHidesAndRearmsUnlessSuspended) {
    TVarnosetMain& window = start();
    child<QAction>("Sound1").trigger();  // the capture sound off
    ASSERT_FALSE(child<QAction>("Sound1").isChecked());

    auto expectHiddenAndArmed = [&](const char* how) {
        EXPECT_FALSE(window.isVisible()) << how;
        EXPECT_TRUE(window.state().HotkeyArmed) << how;
        EXPECT_FALSE(window.state().ProcessingEnabled) << how;
        EXPECT_FALSE(window.windowState() & Qt::WindowMinimized) << how;
    };
    captureScreen();
    pressEscape("CheckBox1");
    expectHiddenAndArmed("Esc");

    captureScreen();
    action("Minimize1").trigger();
    expectHiddenAndArmed("File Minimize");

    captureScreen();
    window.setWindowState(Qt::WindowMinimized);  // the title bar's button
    expectHiddenAndArmed("minimise button");
    EXPECT_EQ(platform_.screen->grabs.size(), 3u);
    EXPECT_EQ(entries("sound"), 0);

    // Suspend from the tray menu checks both items, shows it in the tip and frees PrintScreen.
    captureScreen();
    action("Suspend2").trigger();
    EXPECT_TRUE(action("Suspend1").isChecked());
    EXPECT_TRUE(action("Suspend2").isChecked());
    EXPECT_EQ(platform_.tray.last.toolTip, "Varnoset\u00AE v3.00  [ - Suspended - ]");
    EXPECT_TRUE(platform_.hotkeys->registered.empty());
    pressEscape("ComboBox2");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.state().HotkeyArmed);
    platform_.hotkeys->press(kScreenHotkey);
    EXPECT_EQ(platform_.screen->grabs.size(), 4u);
    EXPECT_FALSE(window.isVisible());

    // Resuming from the main menu unchecks both and registers and arms again.
    action("Suspend1").trigger();
    EXPECT_FALSE(action("Suspend1").isChecked());
    EXPECT_FALSE(action("Suspend2").isChecked());
    EXPECT_TRUE(window.state().HotkeyArmed);
    EXPECT_NE(platform_.hotkeys->find(kScreenHotkey), nullptr);
    captureScreen();
    EXPECT_EQ(platform_.screen->grabs.size(), 5u);
}

TEST_F(MainWindowTest, PrintingDirectlyNeverShowsTheWindow) {
    TVarnosetMain& window = start();
    // The two "Print the Picture Directly" items stay equal whichever is triggered.
    action("NoDialog1").trigger();
    EXPECT_TRUE(action("NoDialog1").isChecked());
    EXPECT_TRUE(action("NoDialog2").isChecked());
    action("NoDialog2").trigger();
    EXPECT_FALSE(action("NoDialog1").isChecked());
    EXPECT_FALSE(action("NoDialog2").isChecked());
    action("NoDialog2").trigger();
    ASSERT_TRUE(action("NoDialog1").isChecked());
    ASSERT_TRUE(action("NoDialog2").isChecked());

    EventCounter shows(&window, QEvent::Show);
    ASSERT_TRUE(platform_.hotkeys->press(kScreenHotkey));

    EXPECT_EQ(shows.count, 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.state().HotkeyArmed);
    EXPECT_FALSE(window.state().ProcessingEnabled);
    EXPECT_TRUE(window.isEnabled());
    const auto& calls = platform_.printLog;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "select default"), calls.end());
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "begin Varnoset v3.00 Picture"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "end"), 1);
    ASSERT_EQ(platform_.printer->pictures.size(), 1u);
    EXPECT_TRUE(samePixels(platform_.printer->pictures.front(), screenImage(screen_)));
}

TEST_F(MainWindowTest, PrintTheDesktopPrintsWhateverTheOptionsSayAndPutsThemBack) {
    TVarnosetMain& window = start();
    action("Action3").trigger();  // the rectangle mode
    action("Suspend1").trigger();
    ASSERT_FALSE(action("NoDialog1").isChecked());
    EventCounter shows(&window, QEvent::Show);

    action("PrinttheDesktop1").trigger();
    EXPECT_EQ(platform_.screen->grabs, std::vector<QRect>{QRect(QPoint(0, 0), screen_)});
    ASSERT_EQ(platform_.printer->pictures.size(), 1u);
    EXPECT_TRUE(samePixels(platform_.printer->pictures.front(), screenImage(screen_)));
    EXPECT_EQ(shows.count, 0);
    EXPECT_FALSE(action("NoDialog1").isChecked());
    EXPECT_FALSE(action("NoDialog2").isChecked());
    // Still suspended: the print's minimise leaves the hotkey disarmed.
    EXPECT_FALSE(window.state().HotkeyArmed);
    {
        MessageBoxAnswer answer;
        action("Save1").trigger();
    }
    EXPECT_TRUE(stores("\"HotKeyFunction\"=dword:00000002"));
    EXPECT_TRUE(stores("\"Direct\"=dword:00000000"));
}

TEST_F(MainWindowTest, CloseAsksUnlessToldNotToAndTheEndKeepsThePosition) {
    start();
    window_.reset();
    storeValues({{"WinPosLeft", -100}, {"WinPosTop", 77}});
    TVarnosetMain& window = start();
    const int beeps = entries("beep");
    const int released = platform_.lock.released;
    {
        MessageBoxAnswer answer(QStringLiteral("&No"));
        action("Close1").trigger();
        EXPECT_EQ(answer.text, "Close and Terminate Varnoset ?");
    }
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_EQ(platform_.lock.released, released);
    EXPECT_TRUE(window.state().HotkeyArmed);
    EXPECT_NE(platform_.hotkeys->find(kScreenHotkey), nullptr);

    // Placed partly off the screen as stored, and stored back unchanged.
    action("NoConfirm1").trigger();
    action("CloseExit1").trigger();
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_EQ(platform_.lock.released, released + 1);
    EXPECT_TRUE(platform_.hotkeys->registered.empty());
    EXPECT_TRUE(stores("\"WinPosLeft\"=dword:ffffff9c")) << store();
    EXPECT_TRUE(stores("\"WinPosTop\"=dword:0000004d"));
    // Closing keeps only the position and the folders; the unsaved "Confirm" stays as it was.
    EXPECT_TRUE(stores("\"Confirm\"=dword:00000000"));
    window_.reset();
    EXPECT_EQ(platform_.lock.released, released + 1);  // the close procedure ran once

    // Where the user put the open window is where the next run starts.
    TVarnosetMain& next = start();
    captureScreen();
    next.move(120, 40);
    pressEscape("CheckBox1");
    window_.reset();
    EXPECT_TRUE(stores("\"WinPosLeft\"=dword:00000078"));
    EXPECT_TRUE(stores("\"WinPosTop\"=dword:00000028"));
}

TEST_F(MainWindowTest, TheEditModeHandsTheShownPictureToTheEditor) {
    TVarnosetMain& window = start();
    action("Action4").trigger();
    EXPECT_TRUE(action("Action4").isChecked());
    captureScreen();
    EXPECT_TRUE(window.isVisible());
    const QString editFile = QString::fromStdString(TempFolderPath()) + "~MyBitmap.bmp";
    EXPECT_EQ(platform_.launcher->opened, QStringList{editFile + " as image/bmp"});
    EXPECT_TRUE(std::filesystem::exists(editFile.toStdString()));

    // With Alt the foreground window is taken, and handed on as well.
    pressEscape("CheckBox1");
    ASSERT_TRUE(platform_.hotkeys->press(kWindowHotkey));
    EXPECT_EQ(platform_.screen->grabs.size(), 2u);
    EXPECT_EQ(platform_.launcher->opened.size(), 2);
}

TEST_F(MainWindowTest, TheTrayMenuOpensTheWindowWithTheDesktop) {
    TVarnosetMain& window = start();
    // The user picks "Open" from the menu that a click on the icon brings up.
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&picker] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        picker.stop();
        menu->setActiveAction(menu->findChild<QAction*>(QStringLiteral("Open1")));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
    });
    picker.start(10);
    ASSERT_TRUE(platform_.tray.handler);
    platform_.tray.handler(TrayMouseMessage::LeftButtonUp);
    ASSERT_TRUE(waitUntil([&] { return window.isVisible(); }));

    EXPECT_EQ(platform_.screen->grabs.size(), 1u);
    EXPECT_FALSE(window.state().HotkeyArmed);
    EXPECT_TRUE(samePixels(preview(), screenImage(screen_)));
    EXPECT_EQ(entries("sound"), 0);  // only the hotkey sounds
}

TEST_F(MainWindowTest, AnEditorThatCannotStartIsReported) {
    start();
    captureScreen();
    platform_.launcher->result = false;
    const int beeps = entries("beep");
    MessageBoxAnswer answer;
    child<QToolButton>("SpeedButton3").click();
    EXPECT_EQ(answer.text, "Could Not start the BMP viewer !");
    EXPECT_EQ(entries("beep"), beeps + 1);
    EXPECT_EQ(platform_.launcher->opened.size(), 1);
}

TEST_F(MainWindowTest, CommandsFromLaterStartsRunAsTheirMenuItemsDoAndAnswer) {
    TVarnosetMain& window = start();
    ASSERT_TRUE(platform_.commandHandler);
    std::optional<std::optional<QString>> answer;  // how the last command ended, once it has
    auto send = [this, &answer](const char* message) {
        answer.reset();
        const bool understood = platform_.commandHandler(
            QByteArray(message),
            [&answer](const std::optional<QString>& failure) { answer = failure; });
        QCoreApplication::processEvents();  // the command runs once the sender has heard
        return understood;
    };
    const std::optional<std::optional<QString>> done{std::in_place};  // carried out
    EXPECT_FALSE(send("nonsense\n"));
    EXPECT_FALSE(send("suspend"));
    EXPECT_FALSE(action("Suspend1").isChecked());

    // Suspend and resume say what state is wanted: saying it twice changes nothing.
    EXPECT_TRUE(send("suspend\n"));
    EXPECT_TRUE(send("suspend\n"));
    EXPECT_TRUE(action("Suspend1").isChecked());
    EXPECT_TRUE(action("Suspend2").isChecked());
    EXPECT_FALSE(window.state().HotkeyArmed);
    EXPECT_TRUE(send("resume\n"));
    EXPECT_TRUE(send("resume\n"));
    EXPECT_FALSE(action("Suspend1").isChecked());
    EXPECT_TRUE(window.state().HotkeyArmed);

    // A capture as the hotkey's, with the sound and the window.
    ASSERT_TRUE(send("capture desktop\n"));
    EXPECT_EQ(answer, done);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(platform_.screen->grabs.size(), 1u);
    EXPECT_EQ(entries("sound"), 1);

    // Quit answers, then closes without the question and keeps the folders.
    ASSERT_TRUE(send("quit\n"));
    EXPECT_EQ(answer, done);
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(store().find("SaveFolder"), std::string::npos);
    EXPECT_EQ(platform_.lock.released, 1);
}

}  // namespace varnoset::main_window_test
