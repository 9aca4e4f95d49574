#pragma once

#include <QByteArray>
#include <QImage>
#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "tests/support/EnvironmentOverride.h"

// What desktop tests need to drive the real program on the harness's private desktop, the way a
// user would: start it, find its windows and its tray icon, press keys and click with xdotool.
namespace desktop {

struct CommandResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program with arguments (no shell) and waits for it.
CommandResult run(const QString& program, const QStringList& args = {}, int timeoutMs = 20000);
// Runs a shell command line.
CommandResult sh(const QString& command, int timeoutMs = 20000);

using WindowId = unsigned long;

// Windows docked in the system tray whose name is the given one.
std::vector<WindowId> trayIcons(const QString& name = QStringLiteral("Varnoset"));
// The StatusNotifierItems registered with the session's watcher, as it lists them
// ("[':1.42/StatusNotifierItem']"), and a property an item offers ("ToolTip", "Menu"), as
// gdbus prints it; the item is its bus name, with or without its path.
QString trayItems();
QString trayItemProperty(const QString& item, const QString& name);
// The windows the window manager lists as clients (the taskbar's list, _NET_CLIENT_LIST).
std::vector<WindowId> clientList();
// Visible windows whose title matches the regular expression.
std::vector<WindowId> visibleWindows(const QString& nameRegex);
// Position (root coordinates) and size of a window, frame not included.
QRect windowGeometry(WindowId id);
// What the window manager adds around a client window (_NET_FRAME_EXTENTS).
QMargins frameExtents(WindowId id);
// Position and size of a window with its frame.
QRect frameGeometry(WindowId id);
// The program's open popup menu, if one is shown.
std::optional<WindowId> trayMenu();
// Clicks with a mouse button at a root position.
void clickAt(QPoint at, int button = 1);
void key(const QString& keys);
// Opens a menu of a window's menu bar (0 = File, 1 = Options) and takes an entry by keyboard; each
// further number steps into a submenu and takes its entry there (1 is the first entry at every
// level, separators not counted).
void chooseFromMenuBar(WindowId window, int menu, const std::vector<int>& entries);
// The text or picture data that the CLIPBOARD offers in that format, read by xclip.
QByteArray clipboard(const QString& mimeType);
// Types text into the focused window, one key press per character.
void typeText(const QString& text);
// A visible window of at least that width whose title matches the regular expression, once one
// appears.
std::optional<WindowId> waitForWindow(const QString& nameRegex, int timeoutMs = 10000,
                                      int minWidth = 100);
// A part of the screen as another program sees it (ImageMagick's `import -window root`).
QImage screenArea(const QRect& area);
// The text that Tesseract reads in the picture, enlarged by the factor first (small screen text
// reads far better that way). Sparse text is read line by line without guessing at columns,
// which keeps closely set lines apart.
QString ocr(const QImage& picture, int enlarge = 1, bool sparseText = false);
// Letters and digits only, so that OCR's and the layout's spacing do not matter in comparisons.
QString squeezed(const QString& text);

// The loudest sample of 16-bit little-endian audio, as a sound server's monitor records it.
int loudest(const QByteArray& raw);

// The names of the options written at the first start: 36 values, the folders not among them.
QStringList firstStartOptionNames();

// A private options folder for the programs started while it lives: XDG_CONFIG_HOME points at a
// new empty folder inside the harness's private folder and is put back afterwards.
class PrivateConfigHome {
public:
    PrivateConfigHome();
    QString path() const { return path_; }

private:
    QString path_;
    varnoset::test::EnvironmentOverride configHome_;
};

// The program under test (its path comes from $VARNOSET_BIN).
class Varnoset {
public:
    Varnoset();
    ~Varnoset();
    Varnoset(const Varnoset&) = delete;
    Varnoset& operator=(const Varnoset&) = delete;

    static QString binary();
    void start(const QStringList& args = {});
    // Waits for the tray icon to be docked.
    bool waitForTrayIcon(int timeoutMs = 10000);
    bool isRunning() const;
    // Waits for the process to end; its exit code, or nullopt when it did not end in time.
    std::optional<int> waitForExit(int timeoutMs = 10000);
    void terminate();  // SIGTERM
    void kill();       // SIGKILL
    qint64 pid() const { return process_.processId(); }
    QString output() const;

    // The main window's id once it is visible.
    std::optional<WindowId> mainWindow();
    // Waits for the main window to show; its id.
    std::optional<WindowId> waitForMainWindow(int timeoutMs = 15000);
    // Waits until no main window is visible.
    bool waitForMainWindowHidden(int timeoutMs = 10000);
    // Points at the tray icon the way a user hovers it and reads the tooltip that comes up, by
    // OCR from the screen; empty when none came.
    QString readTrayToolTip();
    // Opens the tray menu with a click on the icon and chooses the entry at that position
    // (separators not counted).
    void chooseFromTrayMenu(int entry, int button = 1);

private:
    QProcess process_;
};

// The program's own message boxes: titled with the application's name, as are its tray icon and
// tooltip, which are far smaller.
std::vector<WindowId> messageBoxes();
std::optional<WindowId> waitForMessageBox(int timeoutMs = 15000);

// The options file the program keeps under a private options folder.
QString storeFile(const PrivateConfigHome& config);
// A value as the options file writes an integer.
QString dword(std::uint32_t value);
// The name of the account the tests run as (its number when it has none).
QString userName();

// The main window's title pattern.
inline const char* const kMainWindowTitle = "Varnoset.*v3.00.*Kestrane";

}  // namespace desktop
