#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>

#include "app/CommandMessage.h"
#include "app/settings/DesktopBinding.h"
#include "app/settings/OptionHolders.h"
#include "capture/CaptureHost.h"
#include "capture/WindowState.h"
#include "output/EveryCaptureSaver.h"
#include "output/PrintHost.h"
#include "output/PrintOptions.h"
#include "platform/PlatformServices.h"
#include "ui_Main.h"

class QActionGroup;

namespace varnoset {

// The name of the single-instance lock, and of the command socket beside it.
inline constexpr char kInstanceName[] = "Varnoset_v3.00";

class CaptureDispatch;
struct CaptureChecks;
class DelayedCommand;
class FormLayout;
class HotkeyRegistrar;
class TAboutBox;
class TTrayIcon;

// The main window: a switchboard. It owns the window's state (the pictures, the flags and the
// option globals); its handlers read the controls, call one subsystem and show the result. The
// subsystems reach the window through the host interfaces it implements. Main.cpp builds and
// wires it; the handlers live in one file per concern: MainLifeCycle, MainPlacement,
// MainCapture, MainPictureProcessing, MainPrinting, MainPictureFiles, MainOptionHolders.
class TVarnosetMain : public QMainWindow,
                      private Ui::TVarnosetMain,
                      private CaptureHost,
                      private PrintHost,
                      private OptionHolders {
    Q_OBJECT
public:
    explicit TVarnosetMain(PlatformServices services);
    ~TVarnosetMain() override;

    // Start-up; false when another copy already runs (this one must end at once).
    bool FormCreate();
    // Ends the program from outside (a signal, the session manager): the close procedure runs
    // without the question.
    void PoliteEnd();
    // A command from the command line, carried out as its menu item or hotkey is, or started
    // after its delay; the answer tells the sender how it ended (without one, a failure is
    // shown beside the tray icon).
    void RunCommand(const Request& request, const CommandChannel::Answer& answer);

    // The window's life cycle.
    void MinimizeToTray();
    void ShowMainWindow();
    void ScaleBy(int m, int n);
    // The window's outer corner (frame included) on the screen.
    QPoint frameCorner() const;
    void placeFrameCorner(QPoint corner);
    void Close1Click();
    void Minimize1Click();
    void TrayIcon1Click(QObject* sender);
    void Resize1Click();
    void About1Click();
    void Save1Click();

    // Hotkey and capture: KeyClick serves key0 ... Key16 (the key table's row), ActionClick
    // Action1 ... Action4 (the capture mode).
    void KeyClick(int row);
    void ActionClick(int mode);
    void Suspend1Click();
    void Open1Click();
    void PrinttheDesktop1Click();
    void GetRectangulararea1Click();
    // The hotkey bound in the desktop's own shortcut settings, and given back.
    void BindKeys1Click();
    void UnbindKeys1Click();
    // Tray menu "Capture the Desktop in 5 Seconds", and the item that cancels a waiting capture.
    void DelayedCapture1Click();
    void CancelDelay1Click();

    // Picture processing. NDotClick serves "1 Dot" ... "4 Dot".
    void SetImageOptions();
    void ScrollBar1Scroll();
    void ScrollBar2Scroll();
    void SpeedButton14Click();
    void PanelColorClick(ColorSwatch* panel);
    void CheckBox8MouseDown(Qt::MouseButton button);
    void NDotClick(int frameSize);
    void Button2Click();
    void Button3Click();
    void FormPaint();
    void Image1Click();

    // Printing.
    void BitBtn1Click();
    void PrintPreview1Click();
    void SpeedButton9Click();
    void Footer1Click();
    void CheckBox9MouseDown(Qt::MouseButton button);
    void RadioButton5Click();
    void CheckBox5MouseUp();
    void NoDialog1Click();

    // Picture files, clipboard and editor.
    void LoadImage1Click();
    void SaveImage1Click();
    void CopytoClipboard1Click();
    void PastefromClipboard1Click();
    void EditImage1Click();
    void SaveEveryCapture1Click();

    // The pictures, the flags and the option globals.
    WindowState& state() { return state_; }
    const WindowState& state() const { return state_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyIcon();
    static QIcon programIcon(std::initializer_list<int> sizes);
    void prepareFirstShow();
    // The window's outer size, laid out (captions fitted) at the current scale.
    QSize laidOutSize();
    void moveFrameCorner(QPoint corner);
    void buildTrayMenu();
    // The tray icon, its menu for the notification area, and where notifications go without a
    // notification service.
    void makeTrayIcon();
    void buildMenuGroups();
    void buildDesktopKeysMenu();
    // The binding as the options file keeps it; nothing while the keys are the desktop's.
    std::optional<DesktopBinding> desktopBinding() const;
    void storeDesktopBinding(const std::optional<DesktopBinding>& binding);
    // The menu items, the tooltip and the key presses that the desktop hands over follow the
    // binding.
    void followDesktopBinding();
    // Another start bound the keys or gave them back: the options file says which.
    void reloadDesktopBinding();
    // A new key while bound: offers to move the binding along.
    void moveDesktopBinding(std::uint8_t previousHotkey);
    DesktopShortcuts& desktopShortcuts() const;
    // The notice that another program holds the key, offering to let the desktop send it.
    void notifyHeldKey(const QString& title, const QString& text);
    // Where the desktop binds the keys, Define Hotkey names the commands to bind.
    void showDesktopShortcuts();
    void connectHandlers();
    void connectImageOptions();
    void FormShow();
    void FormClose();
    bool FormKeyPress(int key);
    bool confirmClose();
    void loadOptions();
    // Fills the printer list and selects the stored printer, once, when something first reads it.
    void listPrinters() const;
    // The print options as the controls hold them now.
    PrintOptions printOptions() const;
    QSize previewNaturalSize() const;
    void applyFrameSizeMark();
    void showPreview();
    void scrollStep(const QScrollBar& bar);
    void barScrolled(const QScrollBar& bar, QLabel& label, Number holder);
    void reduceSource(int bitsPerPixel);
    void endScroll();
    void watchScrollBar(QEvent::Type type, const QEvent& event);
    ImageOptions imageOptions() const;
    void setPanelColor(ColorSwatch* panel, ColorValue color);
    ColorValue panelColor(const ColorSwatch* panel) const;
    int displayBits() const;
    // The capture options of the menus, as they are checked now.
    CaptureChecks captureChecks() const;
    // Carries a command out now; why it was not, when it was not.
    std::optional<QString> carryOut(Command command);
    // The tooltip and the cancelling item while a delayed command waits.
    void showCountdown(std::optional<int> secondsLeft);
    // Stores the forms of the key the desktop hands over, as they change.
    void rememberThroughDesktop(const QString& forms);
    // Where and how every capture is saved: the stored folder and pattern, or the pictures
    // folder and the default pattern where none is stored.
    EveryCaptureOptions everyCaptureOptions() const;

    // CaptureHost
    void showMainWindow() override;
    void hideMainWindow() override;
    bool mainWindowShown() const override;
    void rearmHotkeyIfHidden() override;
    void setImageOptions() override;
    bool printPicture() override;
    void editPicture() override;
    void notify(const QString& title, const QString& text) override;
    void captureTaken() override;

    // PrintHost
    bool printerListEnabled() const override;
    QString selectedPrinterText() const override;
    int selectedPrinterIndex() const override;
    void setWindowEnabled(bool enabled) override;
    void stepProgress() override;
    void resetProgress() override;
    void setWaitCursor(bool on) override;
    void waitWithMessages(int milliseconds) override;
    void minimize() override;

    // OptionHolders
    bool checked(Check holder) const override;
    void setChecked(Check holder, bool on) override;
    std::int32_t number(Number holder) const override;
    void setNumber(Number holder, std::int32_t value) override;
    std::string text(Text holder) const override;
    void setText(Text holder, const std::string& value) override;
    QObject* checkControl(Check holder) const;
    // One row per number or text holder, in the order of its enum: how the window reads and sets
    // it.
    struct NumberRow;
    struct TextRow;
    static const NumberRow& numberRow(Number holder);
    static const TextRow& textRow(Text holder);
    static void giveTabStopToChecked(const QAbstractButton& member);

    PlatformServices platform_;
    WindowState state_;
    std::unique_ptr<HotkeyRegistrar> registrar_;
    std::unique_ptr<CaptureDispatch> capture_;
    std::unique_ptr<FormLayout> formLayout_;
    DelayedCommand* delayed_ = nullptr;
    EveryCaptureSaver everyCaptureSaver_;
    int scaleNum_ = 1;  // the form's scale, as a fraction of the design
    int scaleDen_ = 1;

    QMenu* PopupMenu1 = nullptr;
    QAction* CancelDelay1 = nullptr;
    QAction* cancelSeparator_ = nullptr;
    QAction* PrinttheDesktop1 = nullptr;
    QAction* DelayedCapture1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* CloseExit1 = nullptr;
    QAction* Suspend2 = nullptr;
    QAction* NoDialog2 = nullptr;
    QAction* About2 = nullptr;
    QAction* BindKeys1 = nullptr;
    QAction* UnbindKeys1 = nullptr;
    QActionGroup* keyGroup_ = nullptr;
    QActionGroup* actionGroup_ = nullptr;
    QActionGroup* frameGroup_ = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TAboutBox* AboutBox = nullptr;

    bool previewStretched_ = false;
    bool shownBefore_ = false;
    bool laidOut_ = false;  // the form laid out once (which loads the fonts)
    // The stored corner, in screen pixels, while the store is read.
    std::optional<int> storedLeft_;
    std::optional<int> storedTop_;
    std::optional<QPoint> pendingCorner_;  // where the window goes when it is first shown
    bool scrollPending_ = false;           // a bar moved since the last pass
    bool scrollHeld_ = false;              // a button or key is held on a bar

    bool closeAccepted_ = false;
    bool formClosed_ = false;
    bool created_ = false;
    bool trayShown_ = true;  // until the session says it has no notification area
    mutable bool printersListed_ = false;
};

}  // namespace varnoset
