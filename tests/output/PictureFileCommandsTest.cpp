#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <csignal>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "output/BmpReader.h"
#include "output/BmpWriter.h"
#include "output/EditorHandoff.h"
#include "output/JpegWriter.h"
#include "output/PictureFileCommands.h"
#include "output/PictureFileNames.h"
#include "platform/Launcher.h"
#include "platform/linux/QtClipboard.h"
#include "tests/output/DacOverrideDropped.h"
#include "tests/support/FileContents.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/RecordingLauncher.h"
#include "tests/support/SamePixels.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

using test::bytesOf;
using test::fileContents;
using test::toByteArray;
using test::writeFile;

std::string errorOf(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(PictureFileNames, ChoosesTheTypeByTheLowerCaseExtension) {
    using enum PictureFileType;
    const std::pair<const char*, std::optional<PictureFileType>> cases[] = {
        {"/pics/HOLIDAY.JPG", Jpeg},   {"/pics/a.jpeg", Jpeg},        {"/pics/a.Bmp", Bmp},
        {"/pics/a.jpe", std::nullopt}, {"/pics/a.gif", std::nullopt}, {"/pics/a", std::nullopt},
        {"/pics.bmp/a", std::nullopt}, {"/pics/a.bmp.png", Png},      {"/pics/a.png.jpg", Jpeg},
        {"/pics/A.PNG", Png},
    };
    for (const auto& [name, type] : cases) {
        EXPECT_EQ(pictureFileType(QString::fromUtf8(name)), type) << name;
    }
    EXPECT_EQ(lowerExtension(QStringLiteral("/x/Shot.JPEG")), QStringLiteral(".jpeg"));
    EXPECT_EQ(folderOf(QStringLiteral("/pics/day/a.bmp")), QStringLiteral("/pics/day/"));
}

TEST(PictureFileNames, FixesTheSaveNameUpByTheChosenFilter) {
    struct Case {
        const char* chosen;
        int filter;
        const char* written;
        const char* message;
    };
    const Case cases[] = {
        {"/p/shot.bmp", kJpgPictures, "/p/shot.bmp.jpg", "Picture successfuly saved as .JPG"},
        {"/p/shot.png", kAllPictures, "/p/shot.png", "Picture successfuly saved as .PNG"},
        {"/p/shot.png", kJpgPictures, "/p/shot.png.jpg", "Picture successfuly saved as .JPG"},
        {"/p/shot.jpg", kPngPictures, "/p/shot.jpg.png", "Picture successfuly saved as .PNG"},
        {"/p/Shot.PNG", kPngPictures, "/p/Shot.PNG", "Picture successfuly saved as .PNG"},
        {"/p/shot.gif", kAllPictures, "/p/shot.gif.jpg", "Picture successfuly saved as .JPG"},
        {"/p/Shot.JPEG", kJpgPictures, "/p/Shot.JPEG", "Picture successfuly saved as .JPEG"},
        {"/p/a.jpg", kBmpPictures, "/p/a.jpg.bmp", "Picture successfuly saved as .BMP"},
        // A typed name gets the default extension "bmp" from the dialog first.
        {"/p/shot.bmp", kAllPictures, "/p/shot.bmp", "Picture successfuly saved as .BMP"},
        {"/p/x.Jpg", kAllPictures, "/p/x.Jpg", "Picture successfuly saved as .JPG"},
        {"/p/x.BMP", kBmpPictures, "/p/x.BMP", "Picture successfuly saved as .BMP"},
        {"/p.jpg/x", kAllPictures, "/p.jpg/x.jpg", "Picture successfuly saved as .JPG"},
    };
    for (const Case& c : cases) {
        const SaveName name = fixUpSaveName(QString::fromUtf8(c.chosen), c.filter);
        EXPECT_EQ(name.fileName, QString::fromUtf8(c.written)) << c.chosen << " " << c.filter;
        EXPECT_EQ(savedMessage(name.extension), QString::fromUtf8(c.message)) << c.chosen;
    }
}

class PictureFileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + QLatin1Char('/');
        clipboard_.setPicture(previous_);
        source_ = previous_;
    }

    // The command changed nothing: the picture, the clipboard and the folder are as before.
    void expectUnchanged(const QString& folderBefore) {
        EXPECT_TRUE(test::samePixels(source_, previous_));
        EXPECT_EQ(test::rgbBytes(clipboard_.picture(PixelFormat::Rgb24)),
                  test::rgbBytes(previous_));
        EXPECT_EQ(loadFolder_, folderBefore);
    }

    QTemporaryDir dir_;
    QString folder_;
    QtClipboard clipboard_;
    PictureFileCommands commands_{clipboard_};
    const Picture previous_ = test::randomPicture(6, 5, PixelFormat::Rgb24, 9);
    Picture source_;
    QString loadFolder_ = QStringLiteral("/old/");
};

TEST_F(PictureFileCommandsTest, LoadReplacesThePictureOnlyWhenTheFileReads) {
    const Picture jpegSource = test::patternPicture(40, 30);
    writeFile(folder_ + "HOLIDAY.JPG", toByteArray(writeJpeg(jpegSource)));
    const QByteArray jpeg = fileContents(folder_ + "HOLIDAY.JPG");
    writeFile(folder_ + "cut.jpg", jpeg.left(jpeg.size() / 2));
    writeFile(folder_ + "bad.bmp", "BM this is no bitmap");
    writeFile(folder_ + "four.bmp",
              toByteArray(writeBmp(test::randomPicture(7, 3, PixelFormat::Indexed4, 4))));
    writeFile(folder_ + "shot.gif", "GIF89a");

    EXPECT_EQ(errorOf([&] {
                  commands_.load(folder_ + "cut.jpg", 32, source_, loadFolder_);
              }).rfind("JPEG error #", 0),
              0u);
    expectUnchanged("/old/");
    EXPECT_EQ(errorOf([&] { commands_.load(folder_ + "bad.bmp", 32, source_, loadFolder_); }),
              "Bitmap image is not valid");
    expectUnchanged("/old/");
    const QString missing = folder_ + "missing.bmp";
    EXPECT_EQ(errorOf([&] { commands_.load(missing, 32, source_, loadFolder_); }),
              "Cannot open file " + missing.toStdString());
    expectUnchanged("/old/");

    // A named pipe is refused, not waited on.
    const QString pipe = folder_ + "pipe.bmp";
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(errorOf([&] { commands_.load(pipe, 32, source_, loadFolder_); }),
              "Cannot open file " + pipe.toStdString());
    expectUnchanged("/old/");

    // An unknown type leaves the picture but remembers the folder.
    EXPECT_FALSE(commands_.load(folder_ + "shot.gif", 32, source_, loadFolder_));
    loadFolder_ = "/old/";
    expectUnchanged("/old/");

    // Upper-case JPEG: 24-bit on a true-colour display, 236 colours on a palette display.
    EXPECT_TRUE(commands_.load(folder_ + "HOLIDAY.JPG", 32, source_, loadFolder_));
    EXPECT_EQ(source_.format(), PixelFormat::Rgb24);
    EXPECT_EQ(source_.width(), 40);
    EXPECT_EQ(loadFolder_, folder_);
    EXPECT_EQ(test::rgbBytes(clipboard_.picture(PixelFormat::Rgb24)), test::rgbBytes(source_));
    EXPECT_TRUE(commands_.load(folder_ + "HOLIDAY.JPG", 8, source_, loadFolder_));
    EXPECT_EQ(source_.format(), PixelFormat::Indexed8);

    // A BMP keeps its own depth.
    EXPECT_TRUE(commands_.load(folder_ + "four.bmp", 32, source_, loadFolder_));
    EXPECT_EQ(source_.format(), PixelFormat::Indexed4);
}

TEST_F(PictureFileCommandsTest, SaveWritesTheFixedUpNameInTheRightFormat) {
    QString saveFolder = QStringLiteral("/old/");
    const Picture reduced = test::randomPicture(9, 4, PixelFormat::Indexed4, 2);

    auto saved = commands_.save({folder_ + "shot.bmp", kJpgPictures}, reduced, saveFolder);
    EXPECT_EQ(saved.fileName, folder_ + "shot.bmp.jpg");
    EXPECT_EQ(saved.message, QStringLiteral("Picture successfuly saved as .JPG"));
    EXPECT_EQ(saveFolder, folder_);
    EXPECT_EQ(fileContents(saved.fileName), toByteArray(writeJpeg(reduced)));

    saveFolder = "/old/";
    saved = commands_.save({folder_ + "a.jpg", kBmpPictures}, reduced, saveFolder);
    EXPECT_EQ(saved.fileName, folder_ + "a.jpg.bmp");
    EXPECT_EQ(saveFolder, folder_);
    EXPECT_EQ(readBmp(bytesOf(fileContents(saved.fileName))).format(), PixelFormat::Indexed4);

    // The command writes the name it is given once fixed up; asking before a file is replaced
    // is the dialog's part.
    writeFile(folder_ + "b.gif.jpg", "old");
    saved = commands_.save({folder_ + "b.gif", kAllPictures}, reduced, saveFolder);
    EXPECT_EQ(fileContents(folder_ + "b.gif.jpg"), toByteArray(writeJpeg(reduced)));
    EXPECT_EQ(entries(folder_).size(), 3);  // nothing left behind
}

TEST_F(PictureFileCommandsTest, FailedSaveKeepsTheOldFileAndTheFolder) {
    const Picture picture = test::randomPicture(64, 64, PixelFormat::Rgb24, 3);
    QString saveFolder = QStringLiteral("/old/");

    // A folder without write permission (for root too, see DacOverrideDropped).
    const QString locked = folder_ + "locked/";
    ASSERT_TRUE(QDir().mkdir(locked));
    writeFile(locked + "keep.bmp", "old picture");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    {
        const test::DacOverrideDropped asUser;
        EXPECT_EQ(errorOf([&] {
                      commands_.save({locked + "keep.bmp", kBmpPictures}, picture, saveFolder);
                  }),
                  "Cannot create file " + (locked + "keep.bmp").toStdString());
    }
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    EXPECT_EQ(fileContents(locked + "keep.bmp"), "old picture");
    EXPECT_EQ(entries(locked), QStringList{"keep.bmp"});
    EXPECT_EQ(saveFolder, "/old/");

    // A disk that fills up while writing: the process may not write files past 1000 bytes.
    writeFile(folder_ + "full.bmp", "old picture");
    {
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 1000;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::string error = errorOf([&] {
            commands_.save({folder_ + "full.bmp", kBmpPictures}, picture, saveFolder);
        });
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(error, "Cannot write file " + (folder_ + "full.bmp").toStdString());
    }
    EXPECT_EQ(fileContents(folder_ + "full.bmp"), "old picture");
    EXPECT_EQ(saveFolder, "/old/");

    // A folder standing where the file should go.
    ASSERT_TRUE(QDir().mkdir(folder_ + "taken.jpg"));
    EXPECT_EQ(errorOf([&] {
                  commands_.save({folder_ + "taken.jpg", kJpgPictures}, picture, saveFolder);
              }),
              "Cannot create file " + (folder_ + "taken.jpg").toStdString());
    EXPECT_EQ(entries(folder_), (QStringList{"full.bmp", "locked", "taken.jpg"}));
}

TEST_F(PictureFileCommandsTest, CopyAndPasteGoThroughTheClipboard) {
    const Picture reduced = test::randomPicture(8, 8, PixelFormat::Indexed4, 6);
    commands_.copy(reduced);
    Picture pasted;
    ASSERT_TRUE(commands_.paste(pasted));
    EXPECT_EQ(test::rgbBytes(pasted), test::rgbBytes(reduced));

    // A picture offered only as PNG bytes by some program.
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(toQImage(reduced).save(&buffer, "PNG"));
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(data);
    ASSERT_TRUE(commands_.paste(pasted));
    EXPECT_EQ(test::rgbBytes(pasted), test::rgbBytes(reduced));

    // Text only: no picture, nothing changes.
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    source_ = previous_;
    EXPECT_FALSE(commands_.paste(source_));
    EXPECT_TRUE(test::samePixels(source_, previous_));

    // Picture bytes that do not decode.
    data = new QMimeData;
    data->setData(QStringLiteral("image/png"), "not a png");
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(errorOf([&] { commands_.paste(source_); }), "Unsupported clipboard format");
    EXPECT_TRUE(test::samePixels(source_, previous_));
}

using test::RecordingLauncher;

TEST(EditorHandoff, WritesTheEditFileWithoutFollowingALinkAtItsName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    RecordingLauncher launcher;
    const EditorHandoff handoff(launcher);
    const Picture first = test::randomPicture(5, 5, PixelFormat::Indexed8, 1);
    const Picture second = test::randomPicture(7, 3, PixelFormat::Rgb565, 2);

    // Someone planted a link at the name, pointing at a file of the user's.
    writeFile(folder + "victim", "precious");
    ASSERT_TRUE(QFile::link(folder + "victim", folder + "~MyBitmap.bmp"));
    const QString path = handoff.writeEditFile(first, dir.path());
    EXPECT_EQ(path, folder + "~MyBitmap.bmp");
    EXPECT_EQ(fileContents(folder + "victim"), "precious");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(test::samePixels(readBmp(bytesOf(fileContents(path))), first));

    // The next hand-off overwrites it; the file keeps the mode it was given.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    handoff.writeEditFile(second, folder);
    EXPECT_TRUE(test::samePixels(readBmp(bytesOf(fileContents(path))), second));
    EXPECT_EQ(QFileInfo(path).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadUser | QFile::WriteUser |
                                                 QFile::ReadGroup);
    EXPECT_EQ(entries(folder), (QStringList{"victim", "~MyBitmap.bmp"}));

    EXPECT_TRUE(handoff.openEditor(path));
    launcher.result = false;
    EXPECT_FALSE(handoff.openEditor(path));
    EXPECT_EQ(launcher.opened, QStringList(2, path + " as image/bmp"));
}

}  // namespace
}  // namespace varnoset
