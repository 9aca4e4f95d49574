#include "output/EveryCaptureSaver.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include "core/Error.h"
#include "output/CaptureNamePattern.h"
#include "output/PictureFileNames.h"
#include "output/PictureFiles.h"

namespace varnoset {

namespace {

// How many names are tried before the folder counts as full.
constexpr int kNameAttempts = 9999;

// The path for one attempt: the pattern's own counter, or a number put before the extension.
QString candidate(const QDir& folder, const EveryCaptureOptions& options, const QDateTime& when,
                  int attempt) {
    if (patternHasCounter(options.pattern)) {
        return folder.filePath(expandCapturePattern(options.pattern, when, attempt));
    }
    const QString name = expandCapturePattern(options.pattern, when, 1);
    if (attempt == 1) {
        return folder.filePath(name);
    }
    const qsizetype dot = name.size() - lowerExtension(name).size();
    return folder.filePath(name.left(dot) + QStringLiteral(" (%1)").arg(attempt) + name.mid(dot));
}

QString saveOnce(const Picture& capture, const EveryCaptureOptions& options,
                 const QDateTime& when) {
    if (const QString problem = captureFolderProblem(options.folder); !problem.isEmpty()) {
        throw Error(problem.toStdString());
    }
    if (const QString problem = capturePatternProblem(options.pattern); !problem.isEmpty()) {
        throw Error(problem.toStdString());
    }
    const QDir folder(options.folder);
    // The pattern's problem check has made sure its names end in a picture type.
    const auto type = pictureFileType(expandCapturePattern(options.pattern, when, 1));
    return saveNewPictureFile(
        capture, *type, [&](int attempt) { return candidate(folder, options, when, attempt); },
        kNameAttempts);
}

}  // namespace

QString captureFolderProblem(const QString& folder) {
    if (folder.isEmpty()) {
        return QStringLiteral("Choose a folder for the captures.");
    }
    const QFileInfo info(folder);
    if (!info.exists()) {
        return QStringLiteral("The folder %1 does not exist.").arg(folder);
    }
    if (!info.isDir()) {
        return QStringLiteral("%1 is not a folder.").arg(folder);
    }
    // With the effective rights, as creating the file will have.
    if (::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) !=
        0) {
        return QStringLiteral("The folder %1 cannot be written.").arg(folder);
    }
    return {};
}

EveryCaptureSaver::Outcome EveryCaptureSaver::save(const Picture& capture,
                                                   const EveryCaptureOptions& options,
                                                   const QDateTime& when) {
    try {
        Outcome outcome{saveOnce(capture, options, when), {}};
        failing_ = false;
        return outcome;
    } catch (const Error& error) {
        const bool told = std::exchange(failing_, true);
        return {{}, told ? QString() : QString::fromStdString(error.what())};
    }
}

}  // namespace varnoset
