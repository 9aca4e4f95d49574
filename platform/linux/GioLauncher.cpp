#include "platform/linux/GioLibrary.h"

#include "platform/linux/GioLauncher.h"

#include <QFile>
#include <memory>

namespace varnoset {

GioLauncher::GioLauncher() = default;
GioLauncher::~GioLauncher() = default;

bool GioLauncher::openWithDefault(const QString& path, const QString& mimeType) {
    if (!library_) {
        library_ = GioLibrary::open();
        if (!library_) {
            return false;
        }
    }
    const auto unref = library_->unref;
    const auto release = [unref](gpointer object) { unref(object); };
    const std::unique_ptr<GAppInfo, decltype(release)> application(
        library_->defaultForType(mimeType.toUtf8().constData(), FALSE), release);
    if (!application) {
        return false;
    }
    const std::unique_ptr<GFile, decltype(release)> file(
        library_->fileForPath(QFile::encodeName(path).constData()), release);
    GList files{};
    files.data = file.get();
    // Spawned detached (GLib forks twice, so no child is left to reap); false when the program
    // cannot be started.
    return library_->launch(application.get(), &files, nullptr, nullptr) != FALSE;
}

}  // namespace varnoset
