#include "app/Main.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QDateTime>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <utility>

#include "app/DelayedCommand.h"
#include "app/FormLayout.h"
#include "app/MessageBoxes.h"
#include "app/TerminationSignals.h"
#include "app/TrayIcon.h"
#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "capture/CaptureDispatch.h"
#include "capture/HotkeyRegistrar.h"
#include "core/Error.h"
#include "output/FooterLines.h"

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

}  // namespace

TVarnosetMain::TVarnosetMain(PlatformServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(std::move(services)) {
    setupUi(this);
    setWindowTitle(QStringLiteral("Varnoset®  v3.00  -  Screen capture and printing by Kestrane"));
    centralwidget->setFixedSize(kClientSize);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The white panels fill from their white Base colour, so that their sunken frames keep the
    // shade the style gives the window's own colour.
    Panel2->setBackgroundRole(QPalette::Base);
    Panel3->setBackgroundRole(QPalette::Base);
    // The scroll box lays out its own parts; the size line's text changes with every picture.
    // Laid out when first needed (laidOutSize): fitting the captions loads the fonts.
    formLayout_ =
        std::make_unique<FormLayout>(*centralwidget, std::vector<QWidget*>{ScrollBox1, Label7});
    state_.FooterString = QString::fromUtf8(kFooterBanner.data(), int(kFooterBanner.size()));
    setPanelColor(Panel4, state_.Color1);
    setPanelColor(Panel5, state_.Color2);
    // The form names its controls for screen readers; the preview's bars are the scroll box's own.
    ScrollBox1->horizontalScrollBar()->setAccessibleName(QStringLiteral("Horizontal Position"));
    ScrollBox1->verticalScrollBar()->setAccessibleName(QStringLiteral("Vertical Position"));
    // The menus have no mnemonics: F10 opens the menu bar, as in the desktops' own programs.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { MainMenu1->setActiveAction(File1->menuAction()); });
    applyIcon();
    buildTrayMenu();
    buildMenuGroups();
    buildDesktopKeysMenu();

    registrar_ = std::make_unique<HotkeyRegistrar>(
        *platform_.hotkeys, [this](int row) { keyGroup_->actions().at(row)->setChecked(true); },
        [this](const QString& tip) {
            // A waiting delayed capture counts down in the tooltip instead.
            if (TrayIcon1 != nullptr && !(delayed_ != nullptr && delayed_->waiting())) {
                TrayIcon1->setToolTip(tip);
            }
            showDesktopShortcuts();
        },
        [this](const QString& title, const QString& text) {
            // At start-up the keys are taken before the icon shows: the notice waits for it.
            QTimer::singleShot(0, this, [this, title, text] { notifyHeldKey(title, text); });
        });
    registrar_->setThroughDesktopChanged(
        [this](const QString& forms) { rememberThroughDesktop(forms); });
    capture_ =
        std::make_unique<CaptureDispatch>(state_, static_cast<CaptureHost&>(*this), *registrar_,
                                          CaptureDevices{*platform_.screen, *platform_.activeWindow,
                                                         *platform_.sound, *platform_.clipboard});
    delayed_ = new DelayedCommand(
        this,
        [this](Command command) {
            RunCommand(Request{command, 0}, {});
        },
        [this](std::optional<int> secondsLeft) { showCountdown(secondsLeft); });
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

void TVarnosetMain::buildTrayMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const char* name, const QString& text) {
        QAction* action = PopupMenu1->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // Only while a delayed capture waits: a click on the icon then offers to cancel it.
    CancelDelay1 = add("CancelDelay1", QStringLiteral("Cancel the Delayed Capture"));
    cancelSeparator_ = PopupMenu1->addSeparator();
    CancelDelay1->setVisible(false);
    cancelSeparator_->setVisible(false);
    PrinttheDesktop1 = add("PrinttheDesktop1", QStringLiteral("Print the Desktop"));
    DelayedCapture1 = add("DelayedCapture1", QStringLiteral("Capture the Desktop in 5 Seconds"));
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
    if (note == nullptr && shortcuts.isEmpty()) {
        return;
    }
    if (note == nullptr) {
        // Above the keys, outside their radio group: it names the commands, it chooses nothing.
        note = new QAction(Hotkey1);
        note->setObjectName(QStringLiteral("DesktopShortcuts1"));
        note->setEnabled(false);
        QAction* first = Hotkey1->actions().value(0);
        Hotkey1->insertAction(first, note);
        Hotkey1->insertSeparator(first)->setObjectName(QStringLiteral("DesktopShortcutsEnd"));
    }
    note->setText(QStringLiteral("Bind in the desktop's shortcuts: ") + shortcuts);
    // Gone while the program holds the key itself.
    note->setVisible(!shortcuts.isEmpty());
    Hotkey1->findChild<QAction*>(QStringLiteral("DesktopShortcutsEnd"))
        ->setVisible(!shortcuts.isEmpty());
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
    connect(SaveEveryCapture1, &QAction::triggered, this, [this] {
        undoAutomaticToggle(SaveEveryCapture1);  // the dialog decides the check mark
        SaveEveryCapture1Click();
    });
    connect(Open1, &QAction::triggered, this, &TVarnosetMain::Open1Click);
    connect(PrinttheDesktop1, &QAction::triggered, this, &TVarnosetMain::PrinttheDesktop1Click);
    connect(DelayedCapture1, &QAction::triggered, this, &TVarnosetMain::DelayedCapture1Click);
    connect(CancelDelay1, &QAction::triggered, this, &TVarnosetMain::CancelDelay1Click);
    connect(GetRectangulararea1, &QAction::triggered, this,
            &TVarnosetMain::GetRectangulararea1Click);
    connect(SpeedButton4, &QAbstractButton::clicked, this,
            &TVarnosetMain::GetRectangulararea1Click);

    connectImageOptions();
    for (ColorSwatch* panel : {Panel4, Panel5}) {
        connect(panel, &QAbstractButton::clicked, this, [this, panel] { PanelColorClick(panel); });
    }
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
    connect(PrintPreview1, &QAction::triggered, this, &TVarnosetMain::PrintPreview1Click);
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
    state_.SourcePicture = Picture();
    // 3. The preview in natural size at the origin, both scroll bars shown.
    previewStretched_ = true;
    Image1Click();
    // 4.-6. The stored options (the defaults at the first start). The printers and the stored
    // printer are listed when first wanted (the window shown, a print, "Save Options"): asking
    // the print server loads its client libraries and can take a while, and nothing shows the
    // list before then.
    loadOptions();
    // 7.-9. Who and where.
    state_.UserName = orNotDefined(platform_.identity->userName(), state_.UserName);
    state_.ComputerName = orNotDefined(platform_.identity->computerName(), state_.ComputerName);
    state_.OsName = orNotDefined(platform_.identity->osName(), state_.OsName);
    // 10. The footer boxes' hints.
    CheckBox11->setToolTip(userInfoTip(state_.ComputerName, state_.UserName, state_.OsName));
    CheckBox10->setToolTip(footerDateTimeText(QDateTime::currentDateTime()));
    CheckBox9->setToolTip(state_.FooterString);
    // 11. The file dialogs open in SaveFolder and LoadFolder while those exist, else in the
    // pictures folder; read when they are shown.
    // 12. The frame size's check mark.
    applyFrameSizeMark();
    // 13. The tray icon.
    makeTrayIcon();
    // The keys the desktop hands over, where it binds them to Varnoset's own actions.
    followDesktopBinding();
    // 14. The hotkeys, then the stored capture mode (which registers them again). What the
    // desktop hands over is known before, so that it is not announced as lost.
    platform_.hotkeys->setHandler([this](int id) { capture_->hotkeyMessage(id, captureChecks()); });
    registrar_->restoreThroughDesktop(state_.Hotkey, state_.ThroughDesktop);
    capture_->RegisterHotkeys();
    if (state_.HotkeyFunction <= 3) {
        ActionClick(state_.HotkeyFunction);
    }
    // The icon appears once the keys are held, so a key pressed as soon as it shows is ours.
    TrayIcon1->setActive(true);
    // 15. The optional enlargement.
    if (Resize1->isChecked()) {
        ScaleBy(128, 100);
    }
    // 16. Ready for the hotkey.
    state_.HotkeyArmed = true;

    // Commands from later starts; each runs once the sender has heard that it was taken, and
    // the sender then waits for its answer.
    platform_.commands->listen(
        kInstanceName, [this](const QByteArray& message, CommandChannel::Answer answer) {
            const std::optional<Request> request = decodeRequest(message);
            if (request) {
                QTimer::singleShot(
                    0, this, [this, r = *request, a = std::move(answer)] { RunCommand(r, a); });
            }
            return request.has_value();
        });
    new TerminationSignals([this] { PoliteEnd(); }, this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!formClosed_) {
            FormClose();
        }
    });
    return true;
}

void TVarnosetMain::makeTrayIcon() {
    TrayIcon1 = new TTrayIcon(this, std::move(platform_.trayShell));
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setIcon(windowIcon());
    TrayIcon1->setToolTip(QStringLiteral("Varnoset v3.00"));
    TrayIcon1->OnClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    TrayIcon1->OnRightClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    TrayIcon1->setAreaMenu(PopupMenu1);
    TrayIcon1->OnNoNotificationArea = [this](QObject*) {
        trayShown_ = false;
        // Once the keys are taken, so that the notice can name them.
        QTimer::singleShot(0, this, [this] {
            const QString shortcuts = registrar_->desktopShortcuts();
            notify(QStringLiteral("Varnoset is running, without a tray icon"),
                   (shortcuts.isEmpty()
                        ? QStringLiteral("Hotkey: ") + registrar_->prompt() + QLatin1Char('.')
                        : QStringLiteral("Bind the keys in the desktop's shortcuts: ") + shortcuts +
                              QLatin1Char('.')) +
                       QStringLiteral(" 'varnoset --open' captures the screen and shows the "
                                      "window; 'varnoset --help' lists the other commands."));
        });
    };
    // Without a notification service, a balloon at the icon where the tray draws one.
    platform_.notifications->setFallback([this](const Notification& notification) {
        if (!trayShown_) {
            return false;
        }
        TrayIcon1->showMessage(notification.title, notification.text);
        return true;
    });
}

bool TVarnosetMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == ScrollBar1 || watched == ScrollBar2) {
        watchScrollBar(type, *event);
    }
    // The keyboard's click on the preview.
    if (type == QEvent::KeyPress && watched == ScrollBox1 &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        Image1Click();
        return true;
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

void TVarnosetMain::RunCommand(const Request& request, const CommandChannel::Answer& answer) {
    const auto tell = [this, &answer](const std::optional<QString>& failure) {
        if (answer) {
            answer(failure);
        } else if (failure) {
            notify(QStringLiteral("Varnoset"), *failure);
        }
    };
    if (request.delaySeconds > 0) {
        delayed_->start(request.command, request.delaySeconds);
        return tell(std::nullopt);
    }
    std::optional<QString> failure;
    try {
        failure = carryOut(request.command);
    } catch (const std::exception& error) {
        if (answer) {
            answer(errorBoxText(QString::fromUtf8(error.what())));
        }
        throw;  // to the standard error box
    }
    tell(failure);
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

}  // namespace varnoset
