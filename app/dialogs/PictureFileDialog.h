#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

#include "output/PictureFileCommands.h"

class QLabel;

namespace varnoset {

// The load dialog "Load Picture" and the save dialog "Save Picture As ..", Qt's own file dialog
// with the picture filters, the default extension "bmp" and a pane that shows the picture the
// user points at. The save dialog gives a name typed without an extension the chosen filter's
// own, and asks before a file would be replaced under the name that will be written, the
// extension fix-up included.
class PictureFileDialog : public QFileDialog {
    Q_OBJECT
public:
    enum class Kind { Load, Save };

    PictureFileDialog(Kind kind, const QString& folder, QWidget* parent = nullptr);

    // Runs the dialog; nothing on Cancel.
    std::optional<ChosenPictureFile> choose();

    // The position of the selected filter, counted from 1.
    int selectedFilterIndex() const;
    const QLabel* previewPane() const { return preview_; }

    static QStringList loadFilters();
    static QStringList saveFilters();

protected:
    void accept() override;

private:
    void showPreview(const QString& path);
    bool replaceConfirmed(const QString& fileName);

    QLabel* preview_ = nullptr;
};

}  // namespace varnoset
