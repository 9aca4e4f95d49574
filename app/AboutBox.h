#pragma once

#include <QDialog>

class QPushButton;

namespace varnoset {

// The About dialog: created once at start-up, shown modeless, always on top and centred on the main
// window's monitor.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    void ShowAboutBox();
    void OKButtonClick();

    QPushButton* OKButton = nullptr;
};

}  // namespace varnoset
