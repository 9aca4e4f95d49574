#pragma once

#include <QDateTime>
#include <QString>

#include "imaging/Picture.h"

namespace varnoset {

// Where and under what names every capture is saved.
struct EveryCaptureOptions {
    QString folder;
    QString pattern;  // see expandCapturePattern; its extension decides the format
};

// Why captures cannot be saved in the folder (none chosen, missing, not a folder, not writable);
// empty when they can.
QString captureFolderProblem(const QString& folder);

// Saves every capture as a new file in a folder, named by the pattern, through the crash-safe
// writer, never replacing a file: a pattern with %n takes the first counter whose name is free,
// one without gets " (2)", " (3)" ... before its extension when its name is taken. A failure is
// told once: the ones that follow are quiet until a capture is saved again.
class EveryCaptureSaver {
public:
    struct Outcome {
        QString written;  // the file saved, empty on failure
        QString toTell;   // the failure to tell the user, empty when it was told already
    };
    Outcome save(const Picture& capture, const EveryCaptureOptions& options, const QDateTime& when);

    // New options: their first failure is told again.
    void reset() { failing_ = false; }

private:
    bool failing_ = false;
};

}  // namespace varnoset
