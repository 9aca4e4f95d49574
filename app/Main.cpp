#include "Main.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QKeyEvent>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScrollBar>
#include <QShowEvent>
#include <cmath>

#include "TerminationSignals.h"
#include "TrayIcon.h"
#include "Unit1.h"

namespace varnoset {

namespace {

const char* const kInstanceName = "Varnoset_v3.00";
constexpr QSize kClientSize(437, 395);

QString orNotDefined(const std::optional<std::string>& value, const QString& fallback) {
    return value ? QString::fromStdString(*value) : fallback;
}

// MulDiv: m/n of v, rounded to the nearest integer.
int scaled(int v, int m, int n) { return static_cast<int>(std::lround(double(v) * m / n)); }

}  // namespace

TVarnosetMain::TVarnosetMain(PlatformServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(std::move(services)) {
    setupUi(this);
    setWindowTitle(QStringLiteral("Varnoset®  v3.00  -  Screen capture and printing by Kestrane"));
    centralwidget->setFixedSize(kClientSize);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    applyArtwork();
    buildTrayMenu();
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

void TVarnosetMain::applyArtwork() {
    QIcon icon;
    for (int size : {16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/icons/varnoset-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    const std::pair<QAbstractButton*, const char*> glyphs[] = {
        {SpeedButton1, "open"},  {SpeedButton2, "save"},      {SpeedButton6, "copy"},
        {SpeedButton5, "paste"}, {SpeedButton3, "edit"},      {SpeedButton4, "rectangle"},
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

void TVarnosetMain::connectHandlers() {
    connect(Close1, &QAction::triggered, this, &TVarnosetMain::Close1Click);
    connect(CloseExit1, &QAction::triggered, this, &TVarnosetMain::CloseExit1Click);
    connect(Minimize1, &QAction::triggered, this, &TVarnosetMain::Minimize1Click);
    connect(Resize1, &QAction::triggered, this, &TVarnosetMain::Resize1Click);
    connect(About1, &QAction::triggered, this, &TVarnosetMain::About1Click);
    connect(About2, &QAction::triggered, this, &TVarnosetMain::About1Click);
    connect(Open1, &QAction::triggered, this, &TVarnosetMain::Open1Click);
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
    Image1->move(0, 0);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // 7.-9. Who and where.
    UserName = orNotDefined(platform_.identity->userName(), QStringLiteral("- Not Defined -"));
    ComputerName =
        orNotDefined(platform_.identity->computerName(), QStringLiteral("- Not Defined -"));
    OsName = orNotDefined(platform_.identity->osName(), QStringLiteral("- Unknown -"));
    // 10. The footer boxes' hints.
    CheckBox11->setToolTip(ComputerName + QStringLiteral("  ") + UserName + QStringLiteral("  ") +
                           OsName);
    CheckBox10->setToolTip(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    CheckBox9->setToolTip(FooterString);

    // 13. The tray icon.
    TrayIcon1 = new TTrayIcon(this, std::move(platform_.trayShell));
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setIcon(windowIcon());
    TrayIcon1->setToolTip(QStringLiteral("Varnoset v3.00"));
    TrayIcon1->OnClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    TrayIcon1->OnRightClick = [this](QObject* sender) { TrayIcon1Click(sender); };
    TrayIcon1->setActive(true);

    AboutBox = new TAboutBox(this);
    new TerminationSignals([this] { PoliteEnd(); }, this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!formClosed_) {
            FormClose();
        }
    });

    // 15. The optional enlargement.
    if (Resize1->isChecked()) {
        ScaleBy(128, 100);
    }
    // 16. Ready for the hotkey.
    HotkeyArmed = true;
    return true;
}

void TVarnosetMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TVarnosetMain::FormShow() {
    ProcessingEnabled = true;
    SourceAltered = false;
    activateWindow();
    raise();
    BitBtn1->setFocus();
}

void TVarnosetMain::ShowMainWindow() {
    if (!isVisible()) {
        show();  // runs FormShow
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
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (FormKeyPress(static_cast<QKeyEvent*>(event)->key())) {
            return true;
        }
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

void TVarnosetMain::Close1Click() { close(); }

void TVarnosetMain::CloseExit1Click() { close(); }

void TVarnosetMain::Minimize1Click() { MinimizeToTray(); }

bool TVarnosetMain::confirmClose() {
    if (NoConfirm1->isChecked()) {
        return true;
    }
    QApplication::beep();
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

void TVarnosetMain::FormClose() {
    formClosed_ = true;
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

void TVarnosetMain::ScaleBy(int m, int n) {
    const QPoint topLeft = pos();
    for (QWidget* child : centralwidget->findChildren<QWidget*>()) {
        if (child->parentWidget() == ScrollBox1->viewport() || child == ScrollBox1->viewport()) {
            continue;  // the scroll box lays out its own viewport
        }
        const QRect g = child->geometry();
        child->setGeometry(scaled(g.x(), m, n), scaled(g.y(), m, n), scaled(g.width(), m, n),
                           scaled(g.height(), m, n));
        QFont font = child->font();
        font.setPointSizeF(font.pointSizeF() * m / n);
        child->setFont(font);
    }
    const QSize client = centralwidget->size();
    centralwidget->setFixedSize(scaled(client.width(), m, n), scaled(client.height(), m, n));
    move(topLeft);
}

void TVarnosetMain::About1Click() { AboutBox->ShowAboutBox(); }

void TVarnosetMain::Open1Click() {
    HotkeyArmed = false;
    ShowMainWindow();
}

}  // namespace varnoset
