#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "DesktopEntry.h"
#include "KeyFile.h"
#include "XdgMimeApps.h"

namespace varnoset {
namespace {

const QString kBmp = QStringLiteral("image/bmp");

class XdgFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        dirs_.configHome = path("config");
        dirs_.configDirs = {path("etc-xdg")};
        dirs_.dataHome = path("data");
        dirs_.dataDirs = {path("share1"), path("share2")};
    }

    QString path(const QString& relative) const { return root_.filePath(relative); }

    void write(const QString& relative, const QByteArray& text) {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }

    void application(const QString& folder, const QString& id, const QByteArray& extra = {}) {
        write(folder + "/applications/" +
                  QString(id).replace('-', '/').replace("/desktop", "-desktop"),
              "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() +
                  "\nExec=" + id.section('.', 0, 0).toUtf8() + " %f\n" + extra);
    }

    QString defaultFor(const QString& mime = kBmp) const {
        const auto entry = XdgMimeApps(dirs_).defaultApplication(mime);
        return entry ? entry->name : QStringLiteral("none");
    }

    QTemporaryDir root_;
    XdgDirectories dirs_;
};

TEST_F(XdgFolders, TheMostImportantListNamingAnInstalledApplicationDecides) {
    EXPECT_EQ(defaultFor(), "none");
    application("share2", "gimp.desktop");
    application("share1", "viewer.desktop");
    application("data", "hidden.desktop", "Hidden=true\n");
    application("data", "absent.desktop", "TryExec=/no/such/program\n");

    write("share2/applications/mimeapps.list", "[Default Applications]\nimage/bmp=gimp.desktop\n");
    EXPECT_EQ(defaultFor(), "gimp.desktop");
    write("data/applications/mimeapps.list",
          "[Default Applications]\nimage/bmp=missing.desktop;hidden.desktop;absent.desktop;"
          "viewer.desktop;\n");
    EXPECT_EQ(defaultFor(), "viewer.desktop");
    write("config/mimeapps.list",
          "# mine\n[Default Applications]\nimage/png=gimp.desktop\n"
          "image/bmp = gimp.desktop\n");
    EXPECT_EQ(defaultFor(), "gimp.desktop");
    dirs_.desktops = {"test", "other"};
    write("etc-xdg/other-mimeapps.list", "[Default Applications]\nimage/bmp=viewer.desktop\n");
    EXPECT_EQ(defaultFor(), "gimp.desktop");  // the user's own list still comes first
    write("config/test-mimeapps.list", "[Default Applications]\nimage/bmp=viewer.desktop\n");
    EXPECT_EQ(defaultFor(), "viewer.desktop");
    EXPECT_EQ(defaultFor("image/gif"), "none");
}

TEST_F(XdgFolders, WithoutADefaultTheAssociationsDecide) {
    application("share1", "first.desktop", "MimeType=image/png;image/bmp;\n");
    application("share2", "second.desktop", "MimeType=image/bmp\n");
    EXPECT_EQ(defaultFor(), "first.desktop");  // share1 comes before share2

    // A removal hides an application from less important places; an addition comes first.
    write("data/applications/mimeapps.list", "[Removed Associations]\nimage/bmp=first.desktop\n");
    EXPECT_EQ(defaultFor(), "second.desktop");
    application("share2", "vendor-tool.desktop");
    write("config/mimeapps.list", "[Added Associations]\nimage/bmp=vendor-tool.desktop;\n");
    EXPECT_EQ(defaultFor(), "vendor-tool.desktop");  // found as vendor/tool.desktop

    // An ID in the user's folder hides the system's entry of that ID.
    application("data", "second.desktop", "Hidden=true\n");
    write("config/mimeapps.list", "");
    EXPECT_EQ(defaultFor(), "none");
    // The older defaults.list still names a default.
    write("share2/applications/defaults.list",
          "[Default Applications]\nimage/bmp=vendor-tool.desktop\n");
    EXPECT_EQ(defaultFor(), "vendor-tool.desktop");
}

TEST_F(XdgFolders, AnAliasOfTheTypeCountsAsTheType) {
    write("share2/mime/aliases", "image/x-MS-bmp image/bmp\nimage/x-bmp image/bmp\n");
    application("share1", "old.desktop", "MimeType=image/x-ms-bmp;\n");
    EXPECT_EQ(defaultFor(), "old.desktop");
    application("share1", "new.desktop");
    write("config/mimeapps.list", "[Default Applications]\nImage/X-BMP=new.desktop\n");
    EXPECT_EQ(defaultFor(), "new.desktop");
    // An alias leads to its type, not to the other aliases.
    write("config/mimeapps.list", "");
    EXPECT_EQ(defaultFor("image/x-bmp"), "none");
}

TEST(DesktopEntry, SplitsTheExecLineAndPutsTheFileInItsPlace) {
    DesktopEntry entry;
    entry.path = "/apps/view.desktop";
    entry.name = "Viewer";
    entry.icon = "pic";
    const QString file = QStringLiteral("/tmp/my \"dir\"/~MyBitmap.bmp");
    const std::pair<const char*, QStringList> cases[] = {
        {"viewer %f", {"viewer", file}},
        {"\"/opt/my app/view\"  --x   %U", {"/opt/my app/view", "--x", file}},
        {"prog \"a \\\"q\\\" \\$HOME \\\\ \\` b\" %u", {"prog", "a \"q\" $HOME \\ ` b", file}},
        {"prog --file=%f", {"prog", "--file=" + file}},
        {"prog \"\" %F", {"prog", "", file}},
        {"prog %i %c %k 100%%",
         {"prog", "--icon", "pic", "Viewer", "/apps/view.desktop", "100%", file}},
        {"prog %d %D %n %N %v %m", {"prog", file}},
        {"prog %x", {}},
        {"prog \"open", {}},
        {"prog %", {}},
        {"", {}},
    };
    for (const auto& [exec, expected] : cases) {
        entry.exec = QString::fromUtf8(exec);
        EXPECT_EQ(entry.commandFor(file), expected) << exec;
    }

    // String escapes come first, then the quoting.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile desktop(dir.filePath("a.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::WriteOnly));
    desktop.write(
        "[Other]\nExec=wrong\n[Desktop Entry]\nType=Application\nName=A\\sB\n"
        "Exec=prog \"a\\\\\\\\b\" %f\nExec=second\nMimeType=image/bmp;text/x\\;y;;\n");
    desktop.close();
    const auto loaded = DesktopEntry::load(desktop.fileName());
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->name, "A B");
    EXPECT_EQ(loaded->commandFor("f"), (QStringList{"prog", "a\\b", "f"}));
    EXPECT_EQ(loaded->mimeTypes, (QStringList{"image/bmp", "text/x;y"}));
    EXPECT_TRUE(loaded->isUsable());
    EXPECT_FALSE(DesktopEntry::load(dir.filePath("none.desktop")).has_value());
}

}  // namespace
}  // namespace varnoset
