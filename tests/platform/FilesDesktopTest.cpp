// The clipboard and the editor hand-off against real peers on the harness's private desktop:
// xclip offers and reads pictures over the X11 CLIPBOARD selection; the editor is a script that
// a private desktop file and mimeapps.list make the default application for BMP pictures.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "output/BmpReader.h"
#include "output/BmpWriter.h"
#include "output/EditorHandoff.h"
#include "output/JpegWriter.h"
#include "output/PictureFileCommands.h"
#include "platform/linux/GioLauncher.h"
#include "platform/linux/QtClipboard.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SamePixels.h"
#include "tests/support/TestPictures.h"
#include "tests/support/WaitUntil.h"

namespace varnoset {
namespace {

using test::bytesOf;
using test::fileContents;
using test::rgbBytes;
using test::toByteArray;
using test::writeFile;
using varnoset::test::waitUntil;

// xclip owning the CLIPBOARD with the bytes of one file under one target, until it is stopped.
class XclipOffer {
public:
    XclipOffer(const QString& target, const QString& file) {
        process_.start(QStringLiteral("xclip"),
                       {"-quiet", "-selection", "clipboard", "-t", target, "-i", file});
        started_ = process_.waitForStarted();
    }
    ~XclipOffer() {
        process_.kill();
        process_.waitForFinished();
    }
    bool started() const { return started_; }

private:
    QProcess process_;
    bool started_ = false;
};

// What xclip reads from the CLIPBOARD for a target. Qt answers in its event loop, which keeps
// running while xclip waits.
QByteArray readWithXclip(const QString& target) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard", "-t", target});
    QByteArray out;
    QObject::connect(&xclip, &QProcess::readyReadStandardOutput,
                     [&] { out += xclip.readAllStandardOutput(); });
    const bool done = waitUntil([&] { return xclip.state() == QProcess::NotRunning; }, 15000);
    EXPECT_TRUE(done) << "xclip -o -t " << target.toStdString() << " did not finish";
    out += xclip.readAllStandardOutput();
    return out;
}

class FilesDesktopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QTemporaryDir dir_;
    QtClipboard clipboard_;
    PictureFileCommands commands_{clipboard_};
};

TEST_F(FilesDesktopTest, PastesPicturesThatAnotherProgramOffers) {
    const Picture picture = test::randomPicture(23, 11, PixelFormat::Indexed4, 3);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(toQImage(picture).save(&buffer, "PNG"));
    }
    writeFile(dir_.filePath("p.png"), png);
    writeFile(dir_.filePath("p.bmp"), toByteArray(writeBmp(picture)));
    const Picture photo = test::patternPicture(64, 48);
    writeFile(dir_.filePath("p.jpg"), toByteArray(writeJpeg(photo)));
    writeFile(dir_.filePath("bad.png"), "this is not a picture");

    const std::tuple<const char*, const char*, const Picture*, int> offers[] = {
        {"image/png", "p.png", &picture, 0},
        {"image/bmp", "p.bmp", &picture, 0},
        {"image/jpeg", "p.jpg", &photo, 3},
    };
    for (const auto& [target, file, expected, tolerance] : offers) {
        SCOPED_TRACE(target);
        const XclipOffer offer(QString::fromLatin1(target), dir_.filePath(file));
        ASSERT_TRUE(offer.started());
        ASSERT_TRUE(waitUntil([&] { return clipboard_.hasPicture(); }));
        Picture pasted;
        ASSERT_TRUE(commands_.paste(pasted));
        EXPECT_EQ(pasted.format(), PixelFormat::Device);
        if (tolerance == 0) {
            EXPECT_EQ(rgbBytes(pasted), rgbBytes(*expected));
        } else {
            EXPECT_LT(test::colourDistance(pasted, *expected).mean, tolerance);
        }
    }

    // Bytes under a picture type that do not decode: the error, and the picture stays.
    {
        const XclipOffer offer(QStringLiteral("image/png"), dir_.filePath("bad.png"));
        ASSERT_TRUE(waitUntil([&] { return clipboard_.hasPicture(); }));
        Picture source = picture;
        try {
            commands_.paste(source);
            ADD_FAILURE() << "garbage was pasted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Unsupported clipboard format");
        }
        EXPECT_TRUE(test::samePixels(source, picture));
    }

    // Text only: no picture, and the picture stays.
    QProcess text;
    text.start(QStringLiteral("xclip"), {"-quiet", "-selection", "clipboard", "-i"});
    ASSERT_TRUE(text.waitForStarted());
    text.write("just some words");
    text.closeWriteChannel();
    EXPECT_TRUE(waitUntil(
        [&] { return readWithXclip(QStringLiteral("UTF8_STRING")) == "just some words"; }));
    EXPECT_TRUE(waitUntil([&] { return !clipboard_.hasPicture(); }));
    Picture source = picture;
    EXPECT_FALSE(commands_.paste(source));
    EXPECT_TRUE(test::samePixels(source, picture));
    text.kill();
    text.waitForFinished();
}

TEST_F(FilesDesktopTest, OtherProgramsReadACopiedPictureAsPngAndBmp) {
    const Picture picture = test::randomPicture(31, 17, PixelFormat::Device, 8);
    commands_.copy(picture);

    const QByteArray targets = readWithXclip(QStringLiteral("TARGETS"));
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    EXPECT_TRUE(targets.contains("image/bmp")) << targets.toStdString();

    const QImage png = QImage::fromData(readWithXclip(QStringLiteral("image/png")), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(rgbBytes(fromQImage(png, PixelFormat::Rgb24)), rgbBytes(picture));

    const QByteArray bmp = readWithXclip(QStringLiteral("image/bmp"));
    ASSERT_FALSE(bmp.isEmpty());
    EXPECT_EQ(rgbBytes(readBmp(bytesOf(bmp))), rgbBytes(picture));

    // Read back by the program itself, in the format the caller asks for.
    EXPECT_EQ(clipboard_.picture(PixelFormat::Rgb565).format(), PixelFormat::Rgb565);
    EXPECT_EQ(rgbBytes(clipboard_.picture()), rgbBytes(picture));
}

TEST_F(FilesDesktopTest, EditPictureStartsTheDefaultBmpApplicationOnTheEditFile) {
    // Only the private folders count: no system application may answer for BMP. GLib reads the
    // XDG variables once, at its first use in the process, so no earlier test may use GIO.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_FALSE(configHome.isEmpty());
    ASSERT_FALSE(dataHome.isEmpty());
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("no-system-data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.filePath("no-system-data")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir_.filePath("no-system-data")));
    ASSERT_TRUE(QDir().mkpath(dataHome + "/applications"));

    const QString record = dir_.filePath("record.txt");
    const QString script = dir_.filePath("bmp viewer.sh");
    writeFile(script, "#!/bin/sh\nprintf '%s:%s' \"$#\" \"$1\" > \"" + record.toUtf8() +
                          ".part\"\n"
                          "mv \"" +
                          record.toUtf8() + ".part\" \"" + record.toUtf8() + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(dataHome + "/applications/varnoset-test-viewer.desktop",
              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=\"" + script.toUtf8() +
                  "\" %f\nMimeType=image/png;\n");
    writeFile(configHome + "/mimeapps.list",
              "[Default Applications]\nimage/bmp=varnoset-test-viewer.desktop;\n");

    const QString tempFolder = dir_.filePath("temp with space") + "/";
    ASSERT_TRUE(QDir().mkpath(tempFolder));
    GioLauncher launcher;
    const EditorHandoff handoff(launcher);
    const Picture preview = test::randomPicture(12, 9, PixelFormat::Indexed8, 4, 236);
    const QString path = handoff.writeEditFile(preview, tempFolder);
    EXPECT_EQ(path, tempFolder + "~MyBitmap.bmp");
    ASSERT_TRUE(handoff.openEditor(path));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(record); }));
    EXPECT_EQ(QString::fromUtf8(fileContents(record)), "1:" + path);
    EXPECT_TRUE(test::samePixels(readBmp(bytesOf(fileContents(path))), preview));

    // An application whose program is missing, then none at all. GIO learns of the changed
    // files from its own file monitors, a moment later.
    writeFile(dataHome + "/applications/varnoset-test-viewer.desktop",
              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=/no/such/viewer %f\n");
    EXPECT_TRUE(waitUntil([&] { return !handoff.openEditor(path); }));
    QFile::remove(configHome + "/mimeapps.list");
    QFile::remove(dataHome + "/applications/varnoset-test-viewer.desktop");
    EXPECT_TRUE(waitUntil([&] { return !handoff.openEditor(path); }));
    EXPECT_TRUE(QFile::exists(path));  // the edit file stays
}

}  // namespace
}  // namespace varnoset
