#include "XdgLauncher.h"

#include <QProcess>

#include "XdgMimeApps.h"

namespace varnoset {

bool XdgLauncher::openWithDefault(const QString& path, const QString& mimeType) {
    const XdgMimeApps apps(dirs_ ? *dirs_ : XdgDirectories::fromEnvironment());
    const auto entry = apps.defaultApplication(mimeType);
    if (!entry) {
        return false;
    }
    QStringList arguments = entry->commandFor(path);
    if (arguments.isEmpty()) {
        return false;
    }
    const QString program = arguments.takeFirst();
    // Qt reports a program that cannot be executed, not only one that cannot be found.
    return QProcess::startDetached(program, arguments, entry->workingFolder);
}

}  // namespace varnoset
