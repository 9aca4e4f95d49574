// GLib's headers name struct members "signals", which Qt defines as a macro: they come first.
#include <gio/gio.h>

#include "platform/linux/GioLauncher.h"

#include <QFile>
#include <memory>

namespace varnoset {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace

bool GioLauncher::openWithDefault(const QString& path, const QString& mimeType) {
    const GObjectPtr<GAppInfo> application(
        g_app_info_get_default_for_type(mimeType.toUtf8().constData(), FALSE));
    if (!application) {
        return false;
    }
    const GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GList files{};
    files.data = file.get();
    // Spawned detached (GLib forks twice, so no child is left to reap); false when the program
    // cannot be started.
    return g_app_info_launch(application.get(), &files, nullptr, nullptr) != FALSE;
}

}  // namespace varnoset
