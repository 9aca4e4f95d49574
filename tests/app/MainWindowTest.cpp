// The main window wired to faked desktop seams: start-up, hotkey captures, the image options,
// Undo through the clipboard, printing at once, saving the options and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/FormLayout.h"
#include "app/Main.h"
#include "app/dialogs/PictureFileDialog.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "app/settings/TempFolderPath.h"
#include "platform/linux/QtClipboard.h"
#include "tests/app/FakePlatform.h"
#include "tests/support/ModalDialogDriver.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SamePixels.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WaitUntil.h"

namespace varnoset {
namespace {

using test::FakePlatform;
using test::ModalDialogDriver;
using test::samePixels;
using test::ScratchFolder;
using test::waitUntil;

constexpr int kScreenHotkey = -2;
constexpr int kWindowHotkey = -1;

// The fake screen's pixels: blue = x, green = y, red = x + y.
QRgb screenPixel(int x, int y) {
    return qRgb((x + y) & 0xFF, y & 0xFF, x & 0xFF);
}

// A colour without its alpha, as pixels are compared here.
QRgb rgb(int red, int green, int blue) {
    return qRgb(red, green, blue) & RGB_MASK;
}
QRgb colorAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & RGB_MASK;
}

QImage screenImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, screenPixel(x, y));
        }
    }
    return image;
}

template <typename Change>
QImage mapped(const QImage& image, Change change) {
    QImage result(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            result.setPixel(x, y, change(QColor(image.pixel(x, y))).rgb());
        }
    }
    return result;
}

QImage mirrored(const QImage& image) {
    return image.mirrored(true, false);
}

// The sixteen colours of the "16" reduction.
bool inSixteenColors(const QImage& image) {
    static const std::set<QRgb> palette{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!palette.contains(qRgb(qRed(image.pixel(x, y)), qGreen(image.pixel(x, y)),
                                       qBlue(image.pixel(x, y))))) {
                return false;
            }
        }
    }
    return true;
}

// Counts the events of one type that reach an object.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type) : type_(type) {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) {
            ++count;
        }
        return false;
    }

private:
    QEvent::Type type_;
};

// Answers the next message box, keeping its text.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(QString button = QString())
        : driver_([this, button](QMessageBox& box) {
              text = box.text();
              for (QAbstractButton* b : box.buttons()) {
                  if (b->text() == button) {
                      b->click();
                      return;
                  }
              }
              box.accept();
          }) {}
    bool seen() const { return driver_.seen(); }
    QString text;

private:
    ModalDialogDriver<QMessageBox> driver_;
};

class MainWindowTest : public ::testing::Test {
protected:
    // A box or dialog that no step of a test answers would wait for ever: one still open a second
    // after it was first seen is reported and closed.
    void SetUp() override {
        QObject::connect(&unanswered_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal == lastModal_) {
                const auto* box = qobject_cast<QMessageBox*>(modal);
                ADD_FAILURE() << "unanswered " << modal->metaObject()->className() << " "
                              << (box != nullptr ? box->text().toStdString() : std::string());
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                }
            }
            lastModal_ = modal;
        });
        unanswered_.start(1000);
    }

    // A window made from fresh fakes with FormCreate run; a second call starts the next run of
    // the program on the same store after the previous window is gone.
    TVarnosetMain& start() {
        window_.reset();
        window_ = std::make_unique<TVarnosetMain>(platform_.services());
        EXPECT_TRUE(window_->FormCreate());
        // The printer list is filled once the event loop runs.
        QCoreApplication::processEvents();
        return *window_;
    }

    template <typename T>
    T& child(const char* name) {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            ADD_FAILURE() << "no " << name;
            throw std::runtime_error(name);
        }
        return *found;
    }
    QAction& action(const char* name) { return child<QAction>(name); }
    QString text(const char* label) { return child<QLabel>(label).text(); }
    bool isChecked(const char* name) { return child<QAbstractButton>(name).isChecked(); }

    QImage preview() { return child<QLabel>("Image1").pixmap().toImage(); }

    // A capture by the screen hotkey, which shows the window in mode 0.
    void captureScreen() {
        ASSERT_TRUE(platform_.hotkeys->press(kScreenHotkey));
        ASSERT_TRUE(window_->isVisible());
    }

    void pressEscape(const char* on) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&child<QWidget>(on), &press);
    }

    // A press and a release of the button in the middle of the control.
    void clickWith(const char* name, Qt::MouseButton button) {
        QWidget& target = child<QWidget>(name);
        const QPointF at = QRectF(target.rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target.mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &release);
    }

    std::string store() const { return ScratchFolder::read(scratch_.storeFile()); }
    bool stores(const std::string& line) const {
        return store().find(line + "\n") != std::string::npos;
    }
    void storeValues(std::initializer_list<std::pair<std::string_view, std::int32_t>> values) {
        SettingsStore file(SettingsStore::userFile());
        file.openKey(kSetupKey, true);
        for (const auto& [name, value] : values) {
            file.writeInteger(name, value);
        }
        file.close();
    }

    int entries(const QString& entry) const {
        return static_cast<int>(platform_.log.entries.count(entry));
    }

    QTimer unanswered_;
    QPointer<QWidget> lastModal_;
    const QSize screen_{40, 30};
    ScratchFolder scratch_;
    FakePlatform platform_{screen_};
    std::unique_ptr<TVarnosetMain> window_;
};

TEST_F(MainWindowTest, FirstStartWritesTheDefaultsAndWaitsHiddenForTheHotkey) {
    ASSERT_FALSE(std::filesystem::exists(scratch_.storeFile()));
    TVarnosetMain& window = start();

    // The store says landscape while this first run shows portrait.
    EXPECT_TRUE(stores("\"Landscape\"=dword:00000001"));
    EXPECT_TRUE(stores("\"Portrait\"=dword:00000000"));
    EXPECT_TRUE(stores("\"AutoCopy\"=dword:00000001"));
    EXPECT_EQ(store().find("SaveFolder"), std::string::npos);
    EXPECT_TRUE(isChecked("RadioButton2"));
    EXPECT_FALSE(isChecked("RadioButton1"));

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

    // The next run reads the store, which says landscape.
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

TEST_F(MainWindowTest, SaveOptionsWritesTheControlsAndSaysSo) {
    start();
    captureScreen();
    QCoreApplication::processEvents();
    child<QCheckBox>("CheckBox2").click();
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
    // Saving shows portrait as it is now.
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
    EXPECT_EQ(walked.mid(walked.indexOf("ScrollBox1"), 30).join(" "),
              "ScrollBox1 CheckBox1 CheckBox2 CheckBox8 CheckBox3 CheckBox7 Button2 Button3 "
              "CheckBox12 CheckBox13 CheckBox14 ScrollBar1 ScrollBar2 SpeedButton14 ComboBox1 "
              "ComboBox2 RadioButton2 CheckBox11 CheckBox9 CheckBox10 CheckBox4 CheckBox5 "
              "RadioButton3 BitBtn1 SpeedButton1 SpeedButton2 SpeedButton6 SpeedButton5 "
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

TEST_F(MainWindowTest, CommandsFromLaterStartsRunAsTheirMenuItemsDo) {
    TVarnosetMain& window = start();
    ASSERT_TRUE(platform_.commandHandler);
    auto send = [this](const char* message) {
        const bool understood = platform_.commandHandler(QByteArray(message));
        QCoreApplication::processEvents();  // the command runs once the sender has its answer
        return understood;
    };
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
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(platform_.screen->grabs.size(), 1u);
    EXPECT_EQ(entries("sound"), 1);

    // Quit closes without the question and keeps the folders.
    ASSERT_TRUE(send("quit\n"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(store().find("SaveFolder"), std::string::npos);
    EXPECT_EQ(platform_.lock.released, 1);
}

}  // namespace
}  // namespace varnoset
