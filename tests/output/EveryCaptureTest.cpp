#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "output/CaptureNamePattern.h"
#include "output/EveryCaptureSaver.h"
#include "output/PictureFiles.h"
#include "tests/support/FileContents.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SamePixels.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

const QDateTime kWhen(QDate(2026, 3, 7), QTime(9, 5, 4));

TEST(CaptureNamePattern, ExpandsTheFieldsAndRefusesWhatNamesNoPictureFile) {
    const std::tuple<const char*, int, const char*> names[] = {
        {kDefaultCapturePattern, 1, "Varnoset 2026-03-07 09-05-04.png"},
        {"%y%m%d-%H%M%S.jpg", 1, "260307-090504.jpg"},
        {"shot %n.bmp", 12, "shot 12.bmp"},
        {"shot %3n.png", 7, "shot 007.png"},
        {"100%% %n.png", 2, "100% 2.png"},
    };
    for (const auto& [pattern, counter, name] : names) {
        EXPECT_EQ(expandCapturePattern(pattern, kWhen, counter), name) << pattern;
    }

    const std::pair<const char*, const char*> problems[] = {
        {kDefaultCapturePattern, ""},
        {"", "must end in .png"},
        {"shot.gif", "must end in .png"},
        {"%Y/%m.png", "cannot contain \"/\""},
        {"shot %q.png", "unknown field \"%q\""},
        {"shot %", "unknown field \"%\""},
        {".png", "no name before the extension"},
    };
    for (const auto& [pattern, problem] : problems) {
        const QString found = capturePatternProblem(pattern);
        EXPECT_EQ(found.isEmpty(), *problem == '\0') << pattern << ": " << found.toStdString();
        EXPECT_TRUE(found.contains(QString::fromUtf8(problem))) << pattern;
    }
    EXPECT_TRUE(capturePatternProblem(QString(250, 'x') + "%Y.png").contains("longer than 255"));
}

TEST(EveryCaptureSaver, SavesEachCaptureAsANewFileAndTellsAFailureOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Picture capture = test::randomPicture(12, 9, PixelFormat::Rgb24, 4);
    EveryCaptureSaver saver;

    // Two captures within one second: the second name gets a number; a file already there under
    // the counter's first name stays untouched.
    ASSERT_TRUE(test::writeFile(dir.filePath("shot 1.png"), "mine"));
    QStringList written;
    for (const char* pattern : {"at %H-%M-%S.png", "at %H-%M-%S.png", "shot %n.png"}) {
        const auto outcome = saver.save(capture, {dir.path(), pattern}, kWhen);
        EXPECT_TRUE(outcome.toTell.isEmpty()) << outcome.toTell.toStdString();
        written << QFileInfo(outcome.written).fileName();
        EXPECT_TRUE(
            test::samePixels(loadPictureFile(outcome.written, PictureFileType::Png, 32), capture));
    }
    EXPECT_EQ(written, (QStringList{"at 09-05-04.png", "at 09-05-04 (2).png", "shot 2.png"}));
    EXPECT_EQ(test::fileContents(dir.filePath("shot 1.png")), "mine");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);  // no leftovers

    // A folder gone: told once, until a capture is saved again.
    const QString gone = dir.filePath("gone");
    auto outcome = saver.save(capture, {gone, "a.png"}, kWhen);
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_EQ(outcome.toTell, "The folder " + gone + " does not exist.");
    EXPECT_TRUE(saver.save(capture, {gone, "a.png"}, kWhen).toTell.isEmpty());
    ASSERT_TRUE(QDir().mkdir(gone));
    EXPECT_FALSE(saver.save(capture, {gone, "a.png"}, kWhen).written.isEmpty());
    EXPECT_FALSE(saver.save(capture, {gone, "b.txt"}, kWhen).toTell.isEmpty());
}

}  // namespace
}  // namespace varnoset
