#pragma once

// The main window wired to faked desktop seams, and what its tests share: the fixture that
// starts it, reads its controls and answers its boxes, and the pictures the fake screen shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/FormLayout.h"
#include "app/Main.h"
#include "app/dialogs/PictureFileDialog.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "app/settings/TempFolderPath.h"
#include "platform/linux/QtClipboard.h"
#include "tests/app/FakePlatform.h"
#include "tests/support/ModalDialogDriver.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SamePixels.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WaitUntil.h"

namespace varnoset::main_window_test {

using test::FakePlatform;
using test::ModalDialogDriver;
using test::samePixels;
using test::ScratchFolder;
using test::waitUntil;

constexpr int kScreenHotkey = -2;
constexpr int kWindowHotkey = -1;

// The fake screen's pixels: blue = x, green = y, red = x + y.
inline QRgb screenPixel(int x, int y) {
    return qRgb((x + y) & 0xFF, y & 0xFF, x & 0xFF);
}

// A colour without its alpha, as pixels are compared here.
inline QRgb rgb(int red, int green, int blue) {
    return qRgb(red, green, blue) & RGB_MASK;
}
inline QRgb colorAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & RGB_MASK;
}

inline QImage screenImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, screenPixel(x, y));
        }
    }
    return image;
}

template <typename Change>
inline QImage mapped(const QImage& image, Change change) {
    QImage result(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            result.setPixel(x, y, change(QColor(image.pixel(x, y))).rgb());
        }
    }
    return result;
}

inline QImage mirrored(const QImage& image) {
    return image.mirrored(true, false);
}

// The sixteen colours of the "16" reduction.
inline bool inSixteenColors(const QImage& image) {
    static const std::set<QRgb> palette{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!palette.contains(qRgb(qRed(image.pixel(x, y)), qGreen(image.pixel(x, y)),
                                       qBlue(image.pixel(x, y))))) {
                return false;
            }
        }
    }
    return true;
}

// Counts the events of one type that reach an object.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type) : type_(type) {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) {
            ++count;
        }
        return false;
    }

private:
    QEvent::Type type_;
};

// Answers the next message box, keeping its text.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(QString button = QString())
        : driver_([this, button](QMessageBox& box) {
              text = box.text();
              for (QAbstractButton* b : box.buttons()) {
                  if (b->text() == button) {
                      b->click();
                      return;
                  }
              }
              box.accept();
          }) {}
    bool seen() const { return driver_.seen(); }
    QString text;

private:
    ModalDialogDriver<QMessageBox> driver_;
};

class MainWindowTest : public ::testing::Test {
protected:
    // A box or dialog that no step of a test answers would wait for ever: one still open a second
    // after it was first seen is reported and closed.
    void SetUp() override {
        QObject::connect(&unanswered_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal == lastModal_) {
                const auto* box = qobject_cast<QMessageBox*>(modal);
                ADD_FAILURE() << "unanswered " << modal->metaObject()->className() << " "
                              << (box != nullptr ? box->text().toStdString() : std::string());
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                }
            }
            lastModal_ = modal;
        });
        unanswered_.start(1000);
    }

    // A window made from fresh fakes with FormCreate run; a second call starts the next run of
    // the program on the same store after the previous window is gone.
    TVarnosetMain& start() {
        window_.reset();
        window_ = std::make_unique<TVarnosetMain>(platform_.services());
        EXPECT_TRUE(window_->FormCreate());
        // The printer list is filled once the event loop runs.
        QCoreApplication::processEvents();
        return *window_;
    }

    template <typename T>
    T& child(const char* name) {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            ADD_FAILURE() << "no " << name;
            throw std::runtime_error(name);
        }
        return *found;
    }
    QAction& action(const char* name) { return child<QAction>(name); }
    QString text(const char* label) { return child<QLabel>(label).text(); }
    bool isChecked(const char* name) { return child<QAbstractButton>(name).isChecked(); }

    QImage preview() { return child<QLabel>("Image1").pixmap().toImage(); }

    // A capture by the screen hotkey, which shows the window in mode 0.
    void captureScreen() {
        ASSERT_TRUE(platform_.hotkeys->press(kScreenHotkey));
        ASSERT_TRUE(window_->isVisible());
    }

    void pressEscape(const char* on) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&child<QWidget>(on), &press);
    }

    // A press and a release of the button in the middle of the control.
    void clickWith(const char* name, Qt::MouseButton button) {
        QWidget& target = child<QWidget>(name);
        const QPointF at = QRectF(target.rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target.mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &release);
    }

    std::string store() const { return ScratchFolder::read(scratch_.storeFile()); }
    bool stores(const std::string& line) const {
        return store().find(line + "\n") != std::string::npos;
    }
    void storeValues(std::initializer_list<std::pair<std::string_view, std::int32_t>> values) {
        SettingsStore file(SettingsStore::userFile());
        file.openKey(kSetupKey, true);
        for (const auto& [name, value] : values) {
            file.writeInteger(name, value);
        }
        file.close();
    }

    int entries(const QString& entry) const {
        return static_cast<int>(platform_.log.entries.count(entry));
    }

    QTimer unanswered_;
    QPointer<QWidget> lastModal_;
    const QSize screen_{40, 30};
    ScratchFolder scratch_;
    FakePlatform platform_{screen_};
    std::unique_ptr<TVarnosetMain> window_;
};

}  // namespace varnoset::main_window_test
