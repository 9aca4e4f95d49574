#include "app/Main.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCursor>
#include <QDateTime>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>
#include <QtMath>
#include <cmath>
#include <initializer_list>
#include <numeric>
#include <utility>

#include "app/FormLayout.h"
#include "app/MessageBoxes.h"
#include "app/MonitorLayout.h"
#include "app/TerminationSignals.h"
#include "app/TrayIcon.h"
#include "app/Unit1.h"
#include "app/WaitCursor.h"
#include "app/dialogs/FooterTextDialog.h"
#include "app/dialogs/KeepProportionsRefusal.h"
#include "app/dialogs/PictureFileDialog.h"
#include "app/dialogs/PrinterListBox.h"
#include "app/dialogs/PrinterSetup.h"
#include "app/settings/OptionRules.h"
#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "app/settings/TempFolderPath.h"
#include "capture/CaptureDispatch.h"
#include "capture/ClipboardRoundTrip.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/WaitWithMessages.h"
#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "imaging/ReduceColorDepth.h"
#include "imaging/SizeLine.h"
#include "output/EditorHandoff.h"
#include "output/FooterLines.h"
#include "output/PictureFileCommands.h"
#include "output/PrintJob.h"
#include "output/PrintOptions.h"

namespace varnoset {

namespace {

constexpr QSize kClientSize(437, 395);

QString orNotDefined(const std::optional<std::string>& value, const QString& fallback) {
    return value ? QString::fromStdString(*value) : fallback;
}

// Qt toggles a checkable menu item before its handler runs; the handlers that invert paired
// items themselves take that toggle back first.
void undoAutomaticToggle(QObject* sender) {
    if (auto* action = qobject_cast<QAction*>(sender)) {
        action->setChecked(!action->isChecked());
    }
}

// The sixteen custom colours the colour dialog offers, as 0xBBGGRR.
constexpr ColorValue kCustomColors[16] = {
    0xEEEEEE, 0xDDDDEE, 0xDDEEDD, 0xEEDDDD, 0xDDDDDD, 0x99EEEE, 0xEEEEAA, 0xAAAAEE,
    0xE0E0E0, 0xD0D0D0, 0xC0C0C0, 0xB0B0B0, 0xA0A0A0, 0x909090, 0x808080, 0x707070};

QColor toQColor(ColorValue c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

}  // namespace

TVarnosetMain::TVarnosetMain(PlatformServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(std::move(services)) {
    setupUi(this);
    setWindowTitle(QStringLiteral("Varnoset®  v3.00  -  Screen capture and printing by Kestrane"));
    centralwidget->setFixedSize(kClientSize);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The scroll box lays out its own parts; the size line's text changes with every picture.
    // Laid out when first needed (laidOutSize): fitting the captions loads the fonts.
    formLayout_ =
        std::make_unique<FormLayout>(*centralwidget, std::vector<QWidget*>{ScrollBox1, Label7});
    FooterString = QString::fromUtf8(kFooterBanner.data(), int(kFooterBanner.size()));
    setPanelColor(Panel4, Color1);
    setPanelColor(Panel5, Color2);
    applyIcon();
    buildTrayMenu();
    buildMenuGroups();

    registrar_ = std::make_unique<HotkeyRegistrar>(
        *platform_.hotkeys, [this](int row) { keyGroup_->actions().at(row)->setChecked(true); },
        [this](const QString& tip) {
            if (TrayIcon1 != nullptr) {
                TrayIcon1->setToolTip(tip);
            }
            showDesktopShortcuts();
        },
        [this](const QString& title, const QString& text) {
            // At start-up the keys are taken before the icon shows: the notice waits for it.
            QTimer::singleShot(0, this, [this, title, text] {
                if (TrayIcon1 != nullptr) {
                    TrayIcon1->showMessage(title, text);
                }
            });
        });
    capture_ =
        std::make_unique<CaptureDispatch>(static_cast<CaptureHost&>(*this), *registrar_,
                                          CaptureDevices{*platform_.screen, *platform_.activeWindow,
                                                         *platform_.sound, *platform_.clipboard});
    connectHandlers();
    // Keys reach the window before its controls, so Esc works anywhere in it.
    qApp->installEventFilter(this);
}

TVarnosetMain::~TVarnosetMain() {
    qApp->removeEventFilter(this);
    if (!formClosed_ && created_) {
        FormClose();
    }
}

// The program's icon in the sizes of title bars, dialogs and the tray. The window's own icon,
// which adds the large size for window switchers, and the tool buttons' glyphs wait until the
// window is first shown: decoding them is work nobody sees before.
void TVarnosetMain::applyIcon() {
    QApplication::setWindowIcon(programIcon({16, 32, 48}));
}

QIcon TVarnosetMain::programIcon(std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes) {
        icon.addFile(QStringLiteral(":/icons/varnoset-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

void TVarnosetMain::prepareFirstShow() {
    if (shownBefore_) {
        return;
    }
    shownBefore_ = true;
    laidOutSize();  // captions fitted by their text alone, before the glyphs go on
    setWindowIcon(programIcon({16, 32, 48, 256}));
    const std::pair<QAbstractButton*, const char*> glyphs[] = {
        {SpeedButton1, "open"},  {SpeedButton2, "save"},  {SpeedButton6, "copy"},
        {SpeedButton5, "paste"}, {SpeedButton3, "edit"},  {SpeedButton4, "rectangle"},
        {BitBtn1, "print"},      {SpeedButton14, "undo"},
    };
    for (const auto& [button, name] : glyphs) {
        const QPixmap glyph(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)));
        button->setIcon(glyph);
        button->setIconSize(glyph.size());
    }
    // The set-up glyph is a strip of two cells; the button shows the printer with the wrench.
    const QPixmap setup = QPixmap(QStringLiteral(":/glyphs/printer_setup.png")).copy(20, 0, 20, 20);
    SpeedButton9->setIcon(setup);
    SpeedButton9->setIconSize(setup.size());
    if (pendingCorner_) {
        moveFrameCorner(*std::exchange(pendingCorner_, std::nullopt));
    }
}

void TVarnosetMain::buildTrayMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const char* name, const QString& text) {
        QAction* action = PopupMenu1->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    PrinttheDesktop1 = add("PrinttheDesktop1", QStringLiteral("Print the Desktop"));
    PopupMenu1->addSeparator();
    Open1 = add("Open1", QStringLiteral("Open"));
    CloseExit1 = add("CloseExit1", QStringLiteral("Close && Exit"));
    Suspend2 = add("Suspend2", QStringLiteral("Suspend"));
    Suspend2->setCheckable(true);
    NoDialog2 = add("NoDialog2", QStringLiteral("Print the Picture Directly  ( No Dialog )"));
    NoDialog2->setCheckable(true);
    PopupMenu1->addSeparator();
    About2 = add("About2", QStringLiteral("About"));
}

void TVarnosetMain::showDesktopShortcuts() {
    const QString shortcuts = registrar_ ? registrar_->desktopShortcuts() : QString();
    auto* note = Hotkey1->findChild<QAction*>(QStringLiteral("DesktopShortcuts1"));
    if (note == nullptr && !shortcuts.isEmpty()) {
        // Above the keys, outside their radio group: it names the commands, it chooses nothing.
        note = new QAction(Hotkey1);
        note->setObjectName(QStringLiteral("DesktopShortcuts1"));
        note->setEnabled(false);
        QAction* first = Hotkey1->actions().value(0);
        Hotkey1->insertAction(first, note);
        Hotkey1->insertSeparator(first);
    }
    if (note != nullptr && !shortcuts.isEmpty()) {  // kept while suspended
        note->setText(QStringLiteral("Bind in the desktop's shortcuts: ") + shortcuts);
    }
}

void TVarnosetMain::buildMenuGroups() {
    keyGroup_ = new QActionGroup(this);
    for (QAction* item : Hotkey1->actions()) {
        keyGroup_->addAction(item);
    }
    actionGroup_ = new QActionGroup(this);
    for (QAction* item : Definehotkeyfunction1->actions()) {
        actionGroup_->addAction(item);
    }
    frameGroup_ = new QActionGroup(this);
    for (QAction* item : DefineFrameSize1->actions()) {
        frameGroup_->addAction(item);
    }
}

void TVarnosetMain::connectHandlers() {
    connect(Close1, &QAction::triggered, this, &TVarnosetMain::Close1Click);
    connect(CloseExit1, &QAction::triggered, this, &TVarnosetMain::Close1Click);
    connect(Minimize1, &QAction::triggered, this, &TVarnosetMain::Minimize1Click);
    connect(Resize1, &QAction::triggered, this, &TVarnosetMain::Resize1Click);
    connect(About1, &QAction::triggered, this, &TVarnosetMain::About1Click);
    connect(About2, &QAction::triggered, this, &TVarnosetMain::About1Click);
    connect(Save1, &QAction::triggered, this, &TVarnosetMain::Save1Click);

    const auto keys = keyGroup_->actions();
    for (int row = 0; row < keys.size(); ++row) {
        connect(keys[row], &QAction::triggered, this, [this, row] { KeyClick(row); });
    }
    const auto modes = actionGroup_->actions();
    for (int mode = 0; mode < modes.size(); ++mode) {
        connect(modes[mode], &QAction::triggered, this, [this, mode] { ActionClick(mode); });
    }
    const auto dots = frameGroup_->actions();
    for (int size = 1; size <= dots.size(); ++size) {
        connect(dots[size - 1], &QAction::triggered, this, [this, size] { NDotClick(size); });
    }
    for (QAction* suspend : {Suspend1, Suspend2}) {
        connect(suspend, &QAction::triggered, this, [this, suspend] {
            undoAutomaticToggle(suspend);
            Suspend1Click();
        });
    }
    for (QAction* direct : {NoDialog1, NoDialog2}) {
        connect(direct, &QAction::triggered, this, [this, direct] {
            undoAutomaticToggle(direct);
            NoDialog1Click();
        });
    }
    connect(Open1, &QAction::triggered, this, &TVarnosetMain::Open1Click);
    connect(PrinttheDesktop1, &QAction::triggered, this, &TVarnosetMain::PrinttheDesktop1Click);
    connect(GetRectangulararea1, &QAction::triggered, this,
            &TVarnosetMain::GetRectangulararea1Click);
    connect(SpeedButton4, &QAbstractButton::clicked, this,
            &TVarnosetMain::GetRectangulararea1Click);

    connectImageOptions();
    // Qt counts every radio button below the form as the orientation group's when one of it takes
    // the focus, and takes the tab stop from the page-size group; it is given back at once.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == RadioButton1 || now == RadioButton2) {
            giveTabStopToChecked(*RadioButton3);
        }
    });
    connect(Button2, &QAbstractButton::clicked, this, &TVarnosetMain::Button2Click);
    connect(Button3, &QAbstractButton::clicked, this, &TVarnosetMain::Button3Click);
    connect(SpeedButton14, &QAbstractButton::clicked, this, &TVarnosetMain::SpeedButton14Click);

    connect(BitBtn1, &QAbstractButton::clicked, this, &TVarnosetMain::BitBtn1Click);
    connect(SpeedButton9, &QAbstractButton::clicked, this, &TVarnosetMain::SpeedButton9Click);
    connect(Footer1, &QAction::triggered, this, &TVarnosetMain::Footer1Click);
    connect(RadioButton5, &QAbstractButton::toggled, this, [this](bool on) {
        if (on) {
            RadioButton5Click();
        }
    });

    connect(LoadImage1, &QAction::triggered, this, &TVarnosetMain::LoadImage1Click);
    connect(SpeedButton1, &QAbstractButton::clicked, this, &TVarnosetMain::LoadImage1Click);
    connect(SaveImage1, &QAction::triggered, this, &TVarnosetMain::SaveImage1Click);
    connect(SpeedButton2, &QAbstractButton::clicked, this, &TVarnosetMain::SaveImage1Click);
    connect(CopytoClipboard1, &QAction::triggered, this, &TVarnosetMain::CopytoClipboard1Click);
    connect(SpeedButton6, &QAbstractButton::clicked, this, &TVarnosetMain::CopytoClipboard1Click);
    connect(PastefromClipboard1, &QAction::triggered, this,
            &TVarnosetMain::PastefromClipboard1Click);
    connect(SpeedButton5, &QAbstractButton::clicked, this,
            &TVarnosetMain::PastefromClipboard1Click);
    connect(EditImage1, &QAction::triggered, this, &TVarnosetMain::EditImage1Click);
    connect(SpeedButton3, &QAbstractButton::clicked, this, &TVarnosetMain::EditImage1Click);
}

// The eight option boxes run the pass whenever their state changes, from the user or from code;
// the bars run it when a scroll ends (thumb, button or key released), while their labels follow
// the thumb.
void TVarnosetMain::connectImageOptions() {
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox7, CheckBox8, CheckBox12,
                           CheckBox13, CheckBox14}) {
        connect(box, &QAbstractButton::toggled, this, &TVarnosetMain::SetImageOptions);
    }
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2}) {
        connect(bar, &QScrollBar::valueChanged, this,
                [this, bar] { bar == ScrollBar1 ? ScrollBar1Scroll() : ScrollBar2Scroll(); });
        connect(bar, &QScrollBar::sliderReleased, this, &TVarnosetMain::endScroll);
    }
}

bool TVarnosetMain::FormCreate() {
    // 1. One copy per user session.
    if (!platform_.instanceLock->acquire(kInstanceName)) {
        return false;
    }
    created_ = true;
    // 2. An empty picture to start with.
    SourcePicture = Picture();
    // 3. The preview in natural size at the origin, both scroll bars shown.
    previewStretched_ = true;
    Image1Click();
    // 4.-6. The stored options (the defaults at the first start). The printers and the stored
    // printer are listed when first wanted (the window shown, a print, "Save Options"): asking
    // the print server loads its client libraries and can take a while, and nothing shows the
    // list before then.
    loadOptions();
    // 7.-9. Who and where.
    UserName = orNotDefined(platform_.identity->userName(), QStringLiteral("- Not Defined -"));
    ComputerName =
        orNotDefined(platform_.identity->computerName(), QStringLiteral("- Not Defined -"));
    OsName = orNotDefined(platform_.identity->osName(), QStringLiteral("- Unknown -"));
    // 10. The footer boxes' hints.
    CheckBox11->setToolTip(userInfoTip(ComputerName, UserName, OsName));
    CheckBox10->setToolTip(footerDateTimeText(QDateTime::currentDateTime()));
    CheckBox9->setToolTip(FooterString);
    // 11. The file dialogs open in SaveFolder and LoadFolder, read when they are shown.
    // 12. The frame size's check mark.
    applyFrameSizeMark();
    // 13. The tray icon.
    TrayIcon1 = new TTrayIcon(this, std::move(platform_.trayShell));
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setIcon(windowIcon());
    TrayIcon1->setToolTip(QStringLiteral("Varnoset v3.00"));
    TrayIcon1->OnClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    TrayIcon1->OnRightClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    // 14. The hotkeys, then the stored capture mode (which registers them again).
    platform_.hotkeys->setHandler([this](int id) { capture_->hotkeyMessage(id); });
    capture_->RegisterHotkeys();
    if (HotkeyFunction <= 3) {
        ActionClick(HotkeyFunction);
    }
    // The icon appears once the keys are held, so a key pressed as soon as it shows is ours.
    TrayIcon1->setActive(true);
    // 15. The optional enlargement.
    if (Resize1->isChecked()) {
        ScaleBy(128, 100);
    }
    // 16. Ready for the hotkey.
    HotkeyArmed = true;

    // Commands from later starts; each runs once the sender has its answer.
    platform_.commands->listen(kInstanceName, [this](const QByteArray& message) {
        const std::optional<Command> command = decodeCommand(message);
        if (command) {
            QTimer::singleShot(0, this, [this, c = *command] { RunCommand(c); });
        }
        return command.has_value();
    });
    new TerminationSignals([this] { PoliteEnd(); }, this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!formClosed_) {
            FormClose();
        }
    });
    return true;
}

void TVarnosetMain::listPrinters() const {
    if (printersListed_) {
        return;
    }
    printersListed_ = true;
    // The printers, then "Default Printer" when there is any, then the stored one selected.
    fillPrinterList(*ComboBox1, platform_.printerLayer->printerNames());
    selectStoredPrinter(*ComboBox1, DefPrinter);
}

void TVarnosetMain::loadOptions() {
    const MonitorLayout monitors = MonitorLayout::current();
    try {
        SettingsStore store(SettingsStore::userFile());
        // Only the first start needs the window's size here, to centre it and store that place.
        const QSize window = store.keyExists(kSetupKey) ? QSize() : laidOutSize();
        LoadOptions(store, *this, monitors.primaryPixels(), monitors.toPixels(window));
    } catch (const Error& error) {
        // Start-up goes on, so the program stays reachable; the error box shows once the event
        // loop runs, through the application's one error report.
        const std::string message = error.what();
        QMetaObject::invokeMethod(
            this, [message] { throw Error(message); }, Qt::QueuedConnection);
    }
    // A store that broke off before the position leaves the window centred on the primary
    // monitor; a position on a monitor since unplugged, or beyond a smaller screen, opens it on the
    // primary monitor instead, and the store keeps its value until closing writes the position.
    // The window is laid out only when that needs its size.
    placeFrameCorner(monitors.placeStored(std::exchange(storedLeft_, std::nullopt),
                                          std::exchange(storedTop_, std::nullopt),
                                          [this] { return laidOutSize(); }));
}

QSize TVarnosetMain::laidOutSize() {
    if (!laidOut_) {
        laidOut_ = true;
        formLayout_->apply(double(scaleNum_) / scaleDen_);
    }
    ensurePolished();
    layout()->activate();
    return frameGeometry().size();
}

void TVarnosetMain::applyFrameSizeMark() {
    if (FrameSize >= 1 && FrameSize <= 4) {
        frameGroup_->actions().at(FrameSize - 1)->setChecked(true);
    }
}

void TVarnosetMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TVarnosetMain::FormShow() {
    // The list shows once the window is up, so the first capture does not wait for the printers.
    QTimer::singleShot(0, this, &TVarnosetMain::listPrinters);
    ProcessingEnabled = true;
    SourceAltered = false;
    SetImageOptions();
    giveTabStopToChecked(*RadioButton1);
    giveTabStopToChecked(*RadioButton3);
    activateWindow();
    raise();
    BitBtn1->setFocus();
}

void TVarnosetMain::ShowMainWindow() {
    if (!isVisible()) {
        prepareFirstShow();
        showNormal();  // runs FormShow; never comes back iconified from an earlier minimise
    } else {
        FormShow();  // a new picture into the open window
    }
    raise();
    activateWindow();
}

void TVarnosetMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        // Never to the taskbar: the minimise button hides the window instead.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        MinimizeToTray();
    }
}

void TVarnosetMain::MinimizeToTray() {
    ProcessingEnabled = false;
    hide();
    HotkeyArmed = !Suspend1->isChecked();
}

bool TVarnosetMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == ScrollBar1 || watched == ScrollBar2) {
        watchScrollBar(type, *event);
    }
    if (type == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        FormKeyPress(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    if (type == QEvent::MouseButtonPress) {
        const Qt::MouseButton pressed = static_cast<QMouseEvent*>(event)->button();
        if (watched == CheckBox8) {
            CheckBox8MouseDown(pressed);
        } else if (watched == CheckBox9) {
            CheckBox9MouseDown(pressed);
        } else if (watched == Panel4 || watched == Panel5) {
            PanelColorClick(static_cast<QFrame*>(watched));
            return true;
        } else if (watched == Image1) {
            Image1Click();
            return true;
        }
    }
    if (type == QEvent::MouseButtonRelease && watched == CheckBox5) {
        // The box toggles on this release first; the refusal follows it.
        QMetaObject::invokeMethod(this, &TVarnosetMain::CheckBox5MouseUp, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TVarnosetMain::FormKeyPress(int key) {
    if (key == Qt::Key_Escape) {
        Minimize1Click();
        return true;
    }
    return false;
}

void TVarnosetMain::Close1Click() {
    close();
}

void TVarnosetMain::Minimize1Click() {
    MinimizeToTray();
}

bool TVarnosetMain::confirmClose() {
    if (NoConfirm1->isChecked()) {
        return true;
    }
    platform_.sound->beep();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                    QStringLiteral("Close and Terminate Varnoset ?"), QMessageBox::NoButton,
                    isVisible() ? this : nullptr);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

void TVarnosetMain::closeEvent(QCloseEvent* event) {
    if (!closeAccepted_ && !confirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!formClosed_) {
        FormClose();
    }
    QCoreApplication::quit();
}

void TVarnosetMain::PoliteEnd() {
    closeAccepted_ = true;
    close();
}

void TVarnosetMain::RunCommand(Command command) {
    switch (command) {
        case Command::CaptureDesktop:
            return capture_->capture(CaptureKind::Desktop);
        case Command::CaptureWindow:
            return capture_->capture(CaptureKind::Window);
        case Command::CaptureClient:
            return capture_->capture(CaptureKind::Client);
        case Command::CaptureRegion:
            return capture_->capture(CaptureKind::Region);
        case Command::PrintDesktop:
            return PrinttheDesktop1Click();
        case Command::Open:
            return Open1Click();
        case Command::Suspend:
        case Command::Resume:
            if (Suspend1->isChecked() != (command == Command::Suspend)) {
                Suspend1Click();
            }
            return;
        case Command::Quit:
            return PoliteEnd();
    }
}

void TVarnosetMain::FormClose() {
    formClosed_ = true;
    capture_->UnregisterHotkeys();
    try {
        SettingsStore store(SettingsStore::userFile());
        SaveClosingOptions(store, *this);
    } catch (const Error& error) {
        // The program ends all the same; say why the position and folders were not kept.
        showErrorBox(QString::fromUtf8(error.what()));
    }
    platform_.instanceLock->release();
}

void TVarnosetMain::TrayIcon1Click(QObject*) {
    activateWindow();
    PopupMenu1->exec(QCursor::pos());  // returns when the menu has closed
}

void TVarnosetMain::Resize1Click() {
    if (Resize1->isChecked()) {
        ScaleBy(128, 100);
    } else {
        ScaleBy(100, 128);
    }
}

// Every layout starts from the design, so enlarging and shrinking again gives back the same form.
void TVarnosetMain::ScaleBy(int m, int n) {
    const QPoint topLeft = frameCorner();
    scaleNum_ *= m;
    scaleDen_ *= n;
    const int common = std::gcd(scaleNum_, scaleDen_);
    scaleNum_ /= common;
    scaleDen_ /= common;
    if (laidOut_) {  // else laid out at this scale when first needed
        formLayout_->apply(double(scaleNum_) / scaleDen_);
    }
    placeFrameCorner(topLeft);
}

QPoint TVarnosetMain::frameCorner() const {
    if (pendingCorner_) {
        return *pendingCorner_;
    }
    // The window handle knows a move at once; pos() follows once the event loop has run.
    return windowHandle() != nullptr ? windowHandle()->framePosition() : pos();
}

void TVarnosetMain::placeFrameCorner(QPoint corner) {
    if (!shownBefore_) {
        // Kept until the first show: placing makes the window handle and lays the window out,
        // which loads the fonts. Its monitor is known at once (messages centre on it).
        if (QScreen* monitor = QGuiApplication::screenAt(corner)) {
            setScreen(monitor);
        }
        pendingCorner_ = corner;
        return;
    }
    moveFrameCorner(corner);
}

// Before the first show the window manager's frame is not known, and move() alone would put the
// client area's corner there: every start would shift the window by the frame's left edge and
// title bar. The window handle asks the window manager for the frame's corner instead. The size
// must be final first, as a later resize makes Qt place the client area again.
void TVarnosetMain::moveFrameCorner(QPoint corner) {
    // Qt reads a position from the corner of the window's own monitor, at that monitor's scale:
    // the window goes to the monitor of the position first.
    if (QScreen* monitor = QGuiApplication::screenAt(corner)) {
        setScreen(monitor);
    }
    move(corner);
    ensurePolished();
    layout()->activate();
    winId();  // makes the window handle
    windowHandle()->setFramePosition(corner);
}

void TVarnosetMain::About1Click() {
    // Made when first asked for, then kept: laying out its text is work nobody sees before.
    if (AboutBox == nullptr) {
        AboutBox = new TAboutBox(this);
    }
    AboutBox->ShowAboutBox();
}

void TVarnosetMain::Save1Click() {
    SettingsStore store(SettingsStore::userFile());
    SaveOptions(store, *this);
    showInformation(
        QString::fromUtf8(kOptionsSavedMessage.data(), int(kOptionsSavedMessage.size())), this);
}

// ---- Hotkey and capture ----

void TVarnosetMain::KeyClick(int row) {
    capture_->keyClick(row);
}

void TVarnosetMain::ActionClick(int mode) {
    actionGroup_->actions().at(mode)->setChecked(true);
    capture_->actionClick(mode);
}

void TVarnosetMain::Suspend1Click() {
    capture_->Suspend1Click();
}

void TVarnosetMain::Open1Click() {
    capture_->Open1Click();
}

void TVarnosetMain::PrinttheDesktop1Click() {
    capture_->PrinttheDesktop1Click();
}

void TVarnosetMain::GetRectangulararea1Click() {
    capture_->GetRectangulararea1Click();
}

// ---- Picture processing ----

ImageOptions TVarnosetMain::imageOptions() const {
    ImageOptions o;
    o.red = CheckBox12->isChecked();
    o.green = CheckBox13->isChecked();
    o.blue = CheckBox14->isChecked();
    o.swap = CheckBox8->isChecked();
    o.color1 = Color1;
    o.color2 = Color2;
    o.brightness = ScrollBar1->value();
    o.contrast = ScrollBar2->value();
    o.invert = CheckBox2->isChecked();
    o.mirror = CheckBox3->isChecked();
    o.grey = CheckBox1->isChecked();
    o.frame = CheckBox7->isChecked();
    o.frameSize = FrameSize;
    return o;
}

void TVarnosetMain::SetImageOptions() {
    // A direct swap is asked of one pass only: also of one that fails or does not run.
    const bool directSwap = std::exchange(DirectSwapRequested, false);
    if (!ProcessingEnabled) {
        return;
    }
    const WaitCursor wait;
    ImagePipeline::Result result = pipeline_.run(SourcePicture, imageOptions(), directSwap);
    PreviewPicture = std::move(result.preview);
    if (result.source) {
        SourcePicture = std::move(*result.source);
    }
    showPreview();
    FormPaint();
}

void TVarnosetMain::showPreview() {
    QPixmap pixmap = QPixmap::fromImage(toQImage(PreviewPicture));
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
    if (SourceAltered) {
        if (platform_.clipboard->hasPicture()) {
            SourcePicture = platform_.clipboard->picture();
        } else {
            platform_.sound->beep();
            showInformation(QStringLiteral("The Picture could not be restored"), this);
        }
        SourceAltered = false;
    }
    SetImageOptions();
    FormPaint();
}

void TVarnosetMain::setPanelColor(QFrame* panel, ColorValue color) {
    (panel == Panel4 ? Color1 : Color2) = color;
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    panel->setPalette(palette);
}

ColorValue TVarnosetMain::panelColor(const QFrame* panel) const {
    return panel == Panel4 ? Color1 : Color2;
}

void TVarnosetMain::PanelColorClick(QFrame* panel) {
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
        DirectSwapRequested = true;
        SetImageOptions();
    }
}

void TVarnosetMain::NDotClick(int frameSize) {
    FrameSize = frameSize;
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
    ReduceColorDepth(SourcePicture, bitsPerPixel);
    PreviewPicture = SourcePicture;
    SetImageOptions();
    SourceAltered = true;
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
    const QString line = SizeLine(SourcePicture, displayBits());
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

// ---- Printing ----

void TVarnosetMain::BitBtn1Click() {
    PrintOptions options;
    options.portrait = RadioButton2->isChecked();
    options.size = RadioButton5->isChecked()   ? PictureSize::Page
                   : RadioButton4->isChecked() ? PictureSize::Half
                                               : PictureSize::Normal;
    options.keepProportions = CheckBox5->isChecked();
    options.centred = CheckBox4->isChecked();
    options.copiesIndex = ComboBox2->currentIndex();
    options.footer = {CheckBox10->isChecked(),
                      CheckBox11->isChecked(),
                      CheckBox9->isChecked(),
                      FooterString,
                      ComputerName,
                      UserName,
                      OsName};
    const QSize dpi = platform_.screen->dotsPerInch();
    PrintJob(*platform_.printerLayer, static_cast<PrintHost&>(*this))
        .run(PreviewPicture, options, dpi);
}

void TVarnosetMain::SpeedButton9Click() {
    runPrinterSetup(*platform_.printerLayer, static_cast<PrintHost&>(*this), this);
}

void TVarnosetMain::Footer1Click() {
    FooterString = askFooterText(this, FooterString);
    CheckBox9->setToolTip(FooterString);
}

void TVarnosetMain::CheckBox9MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        Footer1Click();
    }
}

void TVarnosetMain::RadioButton5Click() {
    CheckBox5->setChecked(
        false);  // "Picture = Page Size" and "Keep Proportions" exclude each other
}

void TVarnosetMain::CheckBox5MouseUp() {
    refuseKeepProportionsOnPageSize(this, *CheckBox5, *RadioButton5,
                                    [this] { platform_.sound->beep(); });
}

// The main menu's and the tray menu's items each invert their own check mark, so two items that
// start equal stay equal.
void TVarnosetMain::NoDialog1Click() {
    NoDialog1->setChecked(!NoDialog1->isChecked());
    NoDialog2->setChecked(!NoDialog2->isChecked());
}

// ---- Picture files, clipboard and editor ----

void TVarnosetMain::LoadImage1Click() {
    PictureFileDialog dialog(PictureFileDialog::Kind::Load, LoadFolder, this);
    const std::optional<ChosenPictureFile> chosen = dialog.choose();
    if (chosen) {
        QCoreApplication::processEvents();
        bool known = false;
        {
            const WaitCursor wait;
            known = PictureFileCommands(*platform_.clipboard)
                        .load(chosen->fileName, displayBits(), SourcePicture, LoadFolder);
        }
        if (known) {
            SetImageOptions();
            BitBtn1->setFocus();
        } else {
            showPlainMessage(QStringLiteral("Can Not read file type"), this);
        }
    }
    FormPaint();
}

void TVarnosetMain::SaveImage1Click() {
    PictureFileDialog dialog(PictureFileDialog::Kind::Save, SaveFolder, this);
    const std::optional<ChosenPictureFile> chosen = dialog.choose();
    if (!chosen) {
        return;
    }
    QCoreApplication::processEvents();
    const auto saved =
        PictureFileCommands(*platform_.clipboard).save(*chosen, PreviewPicture, SaveFolder);
    showPlainMessage(saved.message, this);
}

void TVarnosetMain::CopytoClipboard1Click() {
    PictureFileCommands(*platform_.clipboard).copy(PreviewPicture);
}

void TVarnosetMain::PastefromClipboard1Click() {
    if (!PictureFileCommands(*platform_.clipboard).paste(SourcePicture)) {
        platform_.sound->beep();
        showInformation(QStringLiteral("There is no Picture on the Clipboard"), this);
        return;
    }
    SetImageOptions();
    FormPaint();
    BitBtn1->setFocus();
}

void TVarnosetMain::EditImage1Click() {
    const EditorHandoff handoff(*platform_.launcher);
    const QString path =
        handoff.writeEditFile(PreviewPicture, QString::fromStdString(TempFolderPath()));
    WaitWithMessages(400);
    if (!handoff.openEditor(path)) {
        platform_.sound->beep();
        showPlainMessage(QStringLiteral("Could Not start the BMP viewer !"), this);
    }
}

}  // namespace varnoset
