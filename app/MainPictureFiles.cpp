// Picture files, the clipboard, the editor and the saving of every capture.
#include <QCoreApplication>
#include <QDateTime>

#include "app/Main.h"
#include "app/MessageBoxes.h"
#include "app/WaitCursor.h"
#include "app/dialogs/PictureFileDialog.h"
#include "app/dialogs/SaveEveryCaptureDialog.h"
#include "app/settings/PictureFolders.h"
#include "app/settings/TempFolderPath.h"
#include "capture/WaitWithMessages.h"
#include "output/CaptureNamePattern.h"
#include "output/EditorHandoff.h"
#include "output/PictureFileCommands.h"

namespace varnoset {

void TVarnosetMain::LoadImage1Click() {
    PictureFileDialog dialog(PictureFileDialog::Kind::Load, pictureDialogFolder(state_.LoadFolder),
                             this);
    const std::optional<ChosenPictureFile> chosen = dialog.choose();
    if (chosen) {
        QCoreApplication::processEvents();
        bool known = false;
        {
            const WaitCursor wait;
            known =
                PictureFileCommands(*platform_.clipboard)
                    .load(chosen->fileName, displayBits(), state_.SourcePicture, state_.LoadFolder);
        }
        if (known) {
            SetImageOptions();
            BitBtn1->setFocus();
        } else {
            showPlainMessage(QStringLiteral("Can Not read file type"), this);
        }
    }
    FormPaint();
}

void TVarnosetMain::SaveImage1Click() {
    PictureFileDialog dialog(PictureFileDialog::Kind::Save, pictureDialogFolder(state_.SaveFolder),
                             this);
    const std::optional<ChosenPictureFile> chosen = dialog.choose();
    if (!chosen) {
        return;
    }
    QCoreApplication::processEvents();
    const auto saved = PictureFileCommands(*platform_.clipboard)
                           .save(*chosen, state_.PreviewPicture, state_.SaveFolder);
    showPlainMessage(saved.message, this);
}

void TVarnosetMain::CopytoClipboard1Click() {
    PictureFileCommands(*platform_.clipboard).copy(state_.PreviewPicture);
}

void TVarnosetMain::PastefromClipboard1Click() {
    if (!PictureFileCommands(*platform_.clipboard).paste(state_.SourcePicture)) {
        platform_.sound->beep();
        showInformation(QStringLiteral("There is no Picture on the Clipboard"), this);
        return;
    }
    SetImageOptions();
    FormPaint();
    BitBtn1->setFocus();
}

void TVarnosetMain::EditImage1Click() {
    const EditorHandoff handoff(*platform_.launcher);
    const QString path =
        handoff.writeEditFile(state_.PreviewPicture, QString::fromStdString(TempFolderPath()));
    WaitWithMessages(400);
    if (!handoff.openEditor(path)) {
        platform_.sound->beep();
        showPlainMessage(QStringLiteral("Could Not start the BMP viewer !"), this);
    }
}

EveryCaptureOptions TVarnosetMain::everyCaptureOptions() const {
    return {state_.AutoSaveFolder.isEmpty() ? picturesFolder() : state_.AutoSaveFolder,
            state_.AutoSavePattern.isEmpty() ? QString::fromUtf8(kDefaultCapturePattern)
                                             : state_.AutoSavePattern};
}

void TVarnosetMain::SaveEveryCapture1Click() {
    SaveEveryCaptureDialog dialog(SaveEveryCapture1->isChecked(), everyCaptureOptions(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    SaveEveryCapture1->setChecked(dialog.on());
    const EveryCaptureOptions chosen = dialog.options();
    state_.AutoSaveFolder = chosen.folder;
    state_.AutoSavePattern = chosen.pattern;
    everyCaptureSaver_.reset();
}

// The capture is also saved as a file; a failure says so once, beside the tray icon, and the
// capture goes on to the window or the printer.
void TVarnosetMain::captureTaken() {
    if (!SaveEveryCapture1->isChecked()) {
        return;
    }
    const EveryCaptureSaver::Outcome outcome = everyCaptureSaver_.save(
        state_.SourcePicture, everyCaptureOptions(), QDateTime::currentDateTime());
    if (!outcome.toTell.isEmpty()) {
        notify(QStringLiteral("Save Every Capture"),
               QStringLiteral("The capture could not be saved: ") + outcome.toTell);
    }
}

}  // namespace varnoset
