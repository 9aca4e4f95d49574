#pragma once

#include <QDialog>

#include "output/EveryCaptureSaver.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace varnoset {

// Options ▸ "Save Every Capture...": whether every capture is also saved as a file, in which
// folder and under which name pattern. OK refuses, with a message saying why, a folder or pattern
// that cannot take captures while saving is on; the dialog then stays open.
class SaveEveryCaptureDialog : public QDialog {
    Q_OBJECT
public:
    SaveEveryCaptureDialog(bool on, const EveryCaptureOptions& options, QWidget* parent = nullptr);

    bool on() const;
    EveryCaptureOptions options() const;

protected:
    void accept() override;

private:
    void chooseFolder();
    void showNextName();

    QCheckBox* on_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* pattern_ = nullptr;
    QLabel* nextName_ = nullptr;
};

}  // namespace varnoset
