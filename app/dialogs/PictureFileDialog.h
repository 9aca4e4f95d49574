#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

#include "output/PictureFileCommands.h"

class QLabel;

namespace varnoset {

// The load dialog "Load Picture" and the save dialog "Save Picture As ..", Qt's own file dialog
// with the picture filters, the default extension "bmp" and a pane that shows the picture the
// user points at.
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

private:
    void showPreview(const QString& path);

    QLabel* preview_ = nullptr;
};

}  // namespace varnoset
