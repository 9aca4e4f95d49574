#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/dialogs/PictureFileDialog.h"
#include "output/BmpWriter.h"
#include "output/JpegWriter.h"
#include "output/PictureFileNames.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

QStringList shownFilters(const PictureFileDialog& dialog) {
    QStringList texts;
    const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (combo == nullptr) {
        ADD_FAILURE() << "no filter box";
        return texts;
    }
    for (int i = 0; i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
    }
    return texts;
}

void writeFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(test::toByteArray(bytes));
}

TEST(PictureFileDialog, ShowsTheTitlesFiltersAndFoldersOfBothDialogs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const PictureFileDialog load(PictureFileDialog::Kind::Load, dir.path() + "/");
    EXPECT_EQ(load.windowTitle(), QStringLiteral("Load Picture"));
    EXPECT_EQ(
        shownFilters(load),
        (QStringList{"All Pictures ( *.jpg *.jpeg ;*.bmp )", "JPG Pictures ( *.jpg *.jpeg )",
                     "BMP Pictures ( *.bmp )", "All Files ( *.* )", "PNG Pictures ( *.png )"}));
    EXPECT_EQ(load.defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(load.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(load.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(load.directory().path(), dir.path());

    PictureFileDialog save(PictureFileDialog::Kind::Save, dir.path() + "/");
    EXPECT_EQ(save.windowTitle(), QStringLiteral("Save Picture As .."));
    EXPECT_EQ(shownFilters(save),
              (QStringList{"All Pictures ( *.jpg *.jpeg *.bmp )", "JPG Pictures ( *.jpg *.jpeg )",
                           "BMP Pictures ( *.bmp )", "PNG Pictures ( *.png )"}));
    EXPECT_EQ(save.defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.selectedFilterIndex(), 1);
    save.selectNameFilter(PictureFileDialog::saveFilters()[3]);
    EXPECT_EQ(save.selectedFilterIndex(), kPngPictures);
}

// The name typed, the filter chosen and what is already on disk, against the name returned
// and the questions asked before a file is replaced.
TEST(PictureFileDialog, TypedNamesTakeTheFilterExtensionAndReplacingIsAskedFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("shot.jpg"), {1});
    writeFile(dir.filePath("old.txt.png"), {1});
    struct Case {
        const char* typed;
        int filter;
        const char* returned;  // after the extension fix-up
        int questions;         // the first answered No, the next Yes
    };
    const Case cases[] = {
        {"new", kJpgPictures, "new.jpg", 0},         {"new", kPngPictures, "new.png", 0},
        {"new", kAllPictures, "new.bmp", 0},         {"shot", kJpgPictures, "shot.jpg", 2},
        {"old.txt", kPngPictures, "old.txt.png", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::to_string(c.filter));
        PictureFileDialog save(PictureFileDialog::Kind::Save, dir.path());
        save.selectNameFilter(PictureFileDialog::saveFilters()[c.filter - 1]);
        save.selectFile(QString::fromUtf8(c.typed));
        auto accept = [&save] { static_cast<QDialog&>(save).accept(); };  // as OK does
        int questions = 0;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                EXPECT_TRUE(box->text().startsWith(QFileInfo(c.returned).fileName()));
                ++questions;
                box->button(questions == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
                if (questions == 1) {
                    QTimer::singleShot(0, &save, accept);  // still open: OK again
                }
            }
        });
        answer.start(10);
        QTimer::singleShot(0, &save, accept);
        const auto chosen = save.choose();
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(fixUpSaveName(chosen->fileName, chosen->filterIndex).fileName,
                  dir.filePath(QString::fromUtf8(c.returned)));
        EXPECT_EQ(questions, c.questions);
    }

    PictureFileDialog cancelled(PictureFileDialog::Kind::Load, dir.path());
    QTimer::singleShot(0, &cancelled, &QDialog::reject);
    EXPECT_FALSE(cancelled.choose().has_value());
}

TEST(PictureFileDialog, PreviewsThePictureThatIsPointedAt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("small.bmp"),
              writeBmp(test::randomPicture(30, 20, PixelFormat::Indexed4, 1)));
    writeFile(dir.filePath("BIG.JPG"), writeJpeg(test::patternPicture(640, 320)));
    writeFile(dir.filePath("broken.bmp"), {'B', 'M', 1, 2, 3});
    PictureFileDialog dialog(PictureFileDialog::Kind::Load, dir.path());

    emit dialog.currentChanged(dir.filePath("small.bmp"));
    EXPECT_EQ(dialog.previewPane()->pixmap().size(), QSize(30, 20));
    emit dialog.currentChanged(dir.filePath("BIG.JPG"));
    EXPECT_EQ(dialog.previewPane()->pixmap().size(), QSize(200, 100));
    emit dialog.currentChanged(dir.filePath("broken.bmp"));
    EXPECT_TRUE(dialog.previewPane()->pixmap().isNull());
    emit dialog.currentChanged(dir.path());
    EXPECT_TRUE(dialog.previewPane()->pixmap().isNull());
}

}  // namespace
}  // namespace varnoset
