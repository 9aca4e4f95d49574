// GLib's headers name struct members "signals", which Qt defines as a macro: they come first.
#include <gio/gio.h>

#include "platform/linux/GioLauncher.h"

#include <QFile>
#include <memory>

#include "platform/linux/SharedLibrary.h"

namespace varnoset {

// The calls the hand-off needs from GIO (g_object_unref comes from GObject, which GIO loads).
struct GioLauncher::Library {
    decltype(&g_app_info_get_default_for_type) defaultForType = nullptr;
    decltype(&g_app_info_launch) launch = nullptr;
    decltype(&g_file_new_for_path) fileForPath = nullptr;
    decltype(&g_object_unref) unref = nullptr;

    // Null when the library or one of its calls is missing.
    static std::unique_ptr<Library> open() {
        const SharedLibrary gio("libgio-2.0.so.0");
        auto library = std::make_unique<Library>();
        if (!gio.find(library->defaultForType, "g_app_info_get_default_for_type") ||
            !gio.find(library->launch, "g_app_info_launch") ||
            !gio.find(library->fileForPath, "g_file_new_for_path") ||
            !gio.find(library->unref, "g_object_unref")) {
            return nullptr;
        }
        return library;
    }
};

GioLauncher::GioLauncher() = default;
GioLauncher::~GioLauncher() = default;

bool GioLauncher::openWithDefault(const QString& path, const QString& mimeType) {
    if (!library_) {
        library_ = Library::open();
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
