#include "app/dialogs/SaveEveryCaptureDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "output/CaptureNamePattern.h"

namespace varnoset {

SaveEveryCaptureDialog::SaveEveryCaptureDialog(bool on, const EveryCaptureOptions& options,
                                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Save Every Capture"));
    on_ = new QCheckBox(QStringLiteral("&Save every capture as a file"), this);
    on_->setChecked(on);
    folder_ = new QLineEdit(options.folder, this);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    pattern_ = new QLineEdit(options.pattern, this);
    auto* fields = new QLabel(
        QStringLiteral("%Y year, %m month, %d day, %H hour, %M minute, %S second, %n counter "
                       "(%3n: 001); the extension .png, .jpg or .bmp decides the format."),
        this);
    fields->setWordWrap(true);
    nextName_ = new QLabel(this);
    nextName_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(on_);
    form->addRow(QStringLiteral("&Folder:"), folderRow);
    form->addRow(QStringLiteral("File &name:"), pattern_);
    form->addRow(QString(), fields);
    form->addRow(QStringLiteral("Next file:"), nextName_);
    form->addRow(buttons);
    // A row made of a layout gets a label without a buddy: the folder field is it.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(folderRow))) {
        label->setBuddy(folder_);
    }
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(nextName_))) {
        label->setBuddy(nextName_);
    }
    setMinimumWidth(480);

    connect(browse, &QPushButton::clicked, this, &SaveEveryCaptureDialog::chooseFolder);
    connect(pattern_, &QLineEdit::textChanged, this, &SaveEveryCaptureDialog::showNextName);
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveEveryCaptureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveEveryCaptureDialog::reject);
    showNextName();
}

bool SaveEveryCaptureDialog::on() const {
    return on_->isChecked();
}

EveryCaptureOptions SaveEveryCaptureDialog::options() const {
    // A typed "~/Pictures" is read as a shell reads it.
    QString folder = folder_->text().trimmed();
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/"))) {
        folder.replace(0, 1, QDir::homePath());
    }
    return {folder, pattern_->text()};
}

void SaveEveryCaptureDialog::accept() {
    if (on()) {
        QString problem = captureFolderProblem(options().folder);
        if (problem.isEmpty()) {
            problem = capturePatternProblem(options().pattern);
        }
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, QCoreApplication::applicationName(), problem);
            return;
        }
    }
    QDialog::accept();
}

void SaveEveryCaptureDialog::chooseFolder() {
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), folder_->text());
    if (!chosen.isEmpty()) {
        folder_->setText(chosen);
    }
}

void SaveEveryCaptureDialog::showNextName() {
    const QString problem = capturePatternProblem(pattern_->text());
    nextName_->setText(problem.isEmpty()
                           ? expandCapturePattern(pattern_->text(), QDateTime::currentDateTime(), 1)
                           : QStringLiteral("-"));
}

}  // namespace varnoset
