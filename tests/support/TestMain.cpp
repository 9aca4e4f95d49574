#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for every test binary. Unit tests run on Qt's offscreen platform; the desktop
// harness sets QT_QPA_PLATFORM=xcb and a private DISPLAY for the desktop tests.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
