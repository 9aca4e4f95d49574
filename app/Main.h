#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

#include "Picture.h"
#include "PlatformServices.h"
#include "ui_Main.h"

class QMenu;


namespace varnoset {

class TAboutBox;
class TTrayIcon;

// The main window: a switchboard. It owns the pictures, the flags and the option globals; its
// handlers read the controls, call one subsystem and show the result.
class TVarnosetMain : public QMainWindow, private Ui::TVarnosetMain {
    Q_OBJECT
public:
    explicit TVarnosetMain(PlatformServices services);
    ~TVarnosetMain() override;

    // Start-up; false when another copy already runs (this one must end at once).
    bool FormCreate();

    // Ends the program from outside (a signal, the session manager): the close procedure runs
    // without the question.
    void PoliteEnd();

    // Hide instead of minimise; re-arms the hotkey unless suspended.
    void MinimizeToTray();
    // Shows the window; turning from hidden to shown runs FormShow.
    void ShowMainWindow();
    // Scales the window, its controls and their fonts by m/n, keeping the top-left corner.
    void ScaleBy(int m, int n);

    // Menu and button handlers of the shell.
    void Close1Click();
    void CloseExit1Click();
    void Minimize1Click();
    void TrayIcon1Click(QObject* sender);
    void Resize1Click();
    void About1Click();
    void Open1Click();

    // The shared flags.
    bool ProcessingEnabled = false;
    bool HotkeyArmed = false;
    bool SourceAltered = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyArtwork();
    void buildTrayMenu();
    void connectHandlers();
    void FormShow();
    void FormClose();
    bool FormKeyPress(int key);
    bool confirmClose();
    void watchTerminationSignals();

    PlatformServices platform_;
    QMenu* PopupMenu1 = nullptr;
    QAction* PrinttheDesktop1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* CloseExit1 = nullptr;
    QAction* Suspend2 = nullptr;
    QAction* NoDialog2 = nullptr;
    QAction* About2 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TAboutBox* AboutBox = nullptr;


    Picture SourcePicture;
    Picture PreviewPicture;

    // Option globals.
    std::uint8_t Hotkey = 44;
    std::uint8_t HotkeyFunction = 0;
    QString FooterString;
    int FrameSize = 0;
    QString DefPrinter = QStringLiteral("Default Printer");
    QString SaveFolder;
    QString LoadFolder;

    QString UserName = QStringLiteral("- Not Defined -");
    QString ComputerName = QStringLiteral("- Not Defined -");
    QString OsName = QStringLiteral("- Unknown -");

    bool closeAccepted_ = false;
    bool formClosed_ = false;
    bool created_ = false;
};

}  // namespace varnoset
