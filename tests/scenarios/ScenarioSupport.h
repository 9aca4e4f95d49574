#pragma once

#include <QImage>
#include <QMap>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

#include "tests/support/DesktopSupport.h"

// What the scenarios share: where the main window's controls are, the options file as the program
// leaves it, the program's message boxes and the pages that reach the private CUPS queue.
namespace scenario {

using desktop::WindowId;

// A point of the main window's client area below its menu bar (the layout's coordinates), in
// root coordinates.
QPoint inClient(WindowId window, QPoint at);
// Clicks there with the left button.
void clickInClient(WindowId window, QPoint at);

// The values of the options key, by name as written, with their data as written after the "=";
// nullopt when the file has no such key.
std::optional<QMap<QString, QString>> storedOptions(const QString& file);

// Answers the open message box with Return and waits for it to go.
bool acceptMessageBox();

// Opens the main window from the tray, chooses Options, "Define Hotkey Function" and that entry
// (1 to 4), and hides the window again; false when a step did not happen.
bool chooseHotkeyFunction(desktop::Varnoset& app, int entry);

// Waits for the rectangle mode's overlay: a window of the program's over the whole screen.
bool waitForOverlay();
// Drags out a rectangle with the left button, as a hand does, through a point between.
void dragRectangle(QPoint from, QPoint to);

// Waits until the FILE queue has completed more jobs than before and holds none.
bool waitForPrintedJob(int before, int timeoutMs = 90000);
// The last printed page (the FILE queue's, or the document given), rendered by Ghostscript at that
// resolution.
QImage renderPrintedPage(int dpi, const QString& document = {});
// The text on the last printed page, read by OCR from the rendered page turned clockwise by
// that many degrees (a landscape page comes on portrait paper, its text turned).
QString printedText(int turnDegrees = 0, const QString& document = {});

}  // namespace scenario
