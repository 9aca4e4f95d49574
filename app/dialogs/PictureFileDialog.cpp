#include "app/dialogs/PictureFileDialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <utility>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "output/PictureFileNames.h"
#include "output/PictureFiles.h"

namespace varnoset {

namespace {

constexpr int kPreviewSide = 200;
// The preview decodes in full colour whatever the display.
constexpr int kPreviewBitsPerPixel = 32;

// Qt reads a filter's patterns from its last parentheses and, with the details hidden, shows
// only what stands before them: the description keeps its own text, parentheses and all.
QString nameFilter(const QString& description, const QString& patterns) {
    return description + QStringLiteral(" (") + QString(patterns).replace(QLatin1Char(';'), ' ') +
           QLatin1Char(')');
}

// "All Pictures" shows PNG pictures too; its description keeps its original text.
const QString kAllPicturePatterns = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.png");

}  // namespace

QStringList PictureFileDialog::loadFilters() {
    // "*" admits every file, as "*.*" does where the filters come from; the load command then
    // refuses an extension it does not know.
    return {
        nameFilter(QStringLiteral("All Pictures ( *.jpg *.jpeg ;*.bmp )"), kAllPicturePatterns),
        nameFilter(QStringLiteral("JPG Pictures ( *.jpg *.jpeg )"), QStringLiteral("*.jpg;*.jpeg")),
        nameFilter(QStringLiteral("BMP Pictures ( *.bmp )"), QStringLiteral("*.bmp")),
        nameFilter(QStringLiteral("All Files ( *.* )"), QStringLiteral("*")),
        nameFilter(QStringLiteral("PNG Pictures ( *.png )"), QStringLiteral("*.png"))};
}

QStringList PictureFileDialog::saveFilters() {
    return {
        nameFilter(QStringLiteral("All Pictures ( *.jpg *.jpeg *.bmp )"), kAllPicturePatterns),
        nameFilter(QStringLiteral("JPG Pictures ( *.jpg *.jpeg )"), QStringLiteral("*.jpg;*.jpeg")),
        nameFilter(QStringLiteral("BMP Pictures ( *.bmp )"), QStringLiteral("*.bmp")),
        nameFilter(QStringLiteral("PNG Pictures ( *.png )"), QStringLiteral("*.png"))};
}

PictureFileDialog::PictureFileDialog(Kind kind, const QString& folder, QWidget* parent)
    : QFileDialog(parent) {
    // Qt's own dialog: a platform dialog would have no room for the preview.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setDefaultSuffix(QStringLiteral("bmp"));
    setDirectory(folder);
    if (kind == Kind::Load) {
        setWindowTitle(QStringLiteral("Load Picture"));
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters(loadFilters());
    } else {
        setWindowTitle(QStringLiteral("Save Picture As .."));
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        // accept() asks about the name that will be written, which the extension fix-up may
        // lengthen; Qt would ask about the name as typed.
        setOption(QFileDialog::DontConfirmOverwrite);
        setNameFilters(saveFilters());
    }

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("PicturePreview"));
    preview_->setFixedSize(kPreviewSide, kPreviewSide);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setAccessibleName(QStringLiteral("Picture Preview"));
    // Qt's dialog gives its folder and type lists no labels, which screen readers read as names.
    for (const auto& [label, list] :
         {std::pair{"lookInLabel", "lookInCombo"}, std::pair{"fileTypeLabel", "fileTypeCombo"}}) {
        if (auto* caption = findChild<QLabel*>(QLatin1String(label))) {
            caption->setBuddy(findChild<QWidget*>(QLatin1String(list)));
        }
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    }
    connect(this, &QFileDialog::currentChanged, this, &PictureFileDialog::showPreview);
}

std::optional<ChosenPictureFile> PictureFileDialog::choose() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ChosenPictureFile{selectedFiles().constFirst(), selectedFilterIndex()};
}

void PictureFileDialog::accept() {
    if (acceptMode() == QFileDialog::AcceptSave) {
        // A name typed without an extension takes the chosen filter's own.
        setDefaultSuffix(typedNameExtension(selectedFilterIndex()));
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !QFileInfo(files.constFirst()).isDir()) {
            const QString written =
                fixUpSaveName(files.constFirst(), selectedFilterIndex()).fileName;
            if (QFileInfo::exists(written) && !replaceConfirmed(written)) {
                return;  // the dialog stays open for another name
            }
        }
    }
    QFileDialog::accept();
}

bool PictureFileDialog::replaceConfirmed(const QString& fileName) {
    return QMessageBox::warning(this, QCoreApplication::applicationName(),
                                tr("%1 already exists.\nDo you want to replace it?")
                                    .arg(QFileInfo(fileName).fileName()),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

int PictureFileDialog::selectedFilterIndex() const {
    // With the details hidden Qt may report the filter by its description alone.
    const QString selected = selectedNameFilter();
    const QStringList filters = nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& f = filters[i];
        if (f == selected || f.left(f.lastIndexOf(QStringLiteral(" ("))) == selected) {
            return static_cast<int>(i) + 1;
        }
    }
    return 1;
}

void PictureFileDialog::showPreview(const QString& path) {
    preview_->clear();
    const auto type = pictureFileType(path);
    if (!type || !QFileInfo(path).isFile()) {
        return;
    }
    try {
        QImage image = toQImage(loadPictureFile(path, *type, kPreviewBitsPerPixel));
        if (image.width() > kPreviewSide || image.height() > kPreviewSide) {
            image = image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        }
        preview_->setPixmap(QPixmap::fromImage(image));
    } catch (const Error&) {
        // A file that cannot be read simply shows no preview; loading it reports why.
    }
}

}  // namespace varnoset
