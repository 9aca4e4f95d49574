#include "app/AboutBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace varnoset {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Varnoset v3.00"));
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setPixmap(windowIcon().pixmap(48, 48));
    auto* text = new QLabel(this);
    text->setText(QStringLiteral(
        "<b>Varnoset v3.00</b><br>Screen capture and printing from the notification area.<br><br>"
        "Made by Kestrane.<br>Free to use and to pass on unchanged;<br>no warranty of any kind."));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    auto* row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(OKButton, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void TAboutBox::ShowAboutBox() {
    // Centred on the monitor the main window is on.
    const QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void TAboutBox::OKButtonClick() {
    hide();
}

}  // namespace varnoset
