#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cctype>

#include "imaging/Picture.h"
#include "tests/support/TestPictures.h"

// The peer tools the picture file tests compare with (cjpeg, djpeg, ImageMagick), and the PPM
// pictures they read and print.
namespace varnoset::test {

// Runs a tool without a shell and returns what it printed; the test fails when it does not run
// or exits with an error.
inline QByteArray runTool(const QString& program, const QStringList& arguments,
                          const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << program.toStdString() << " did not start";
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    }
    return process.readAllStandardOutput();
}

// The picture's pixels as a binary PPM ("P6"), as cjpeg reads them.
inline QByteArray ppmOf(const Picture& picture) {
    return QByteArray("P6\n") + QByteArray::number(picture.width()) + ' ' +
           QByteArray::number(picture.height()) + "\n255\n" + rgbBytes(picture);
}

// The pixel bytes of a binary PPM as djpeg prints it (header "P6 width height 255").
inline QByteArray ppmPixels(const QByteArray& ppm) {
    int fields = 0;
    qsizetype i = 0;
    while (fields < 4 && i < ppm.size()) {
        while (i < ppm.size() && std::isspace(static_cast<unsigned char>(ppm[i]))) {
            ++i;
        }
        while (i < ppm.size() && !std::isspace(static_cast<unsigned char>(ppm[i]))) {
            ++i;
        }
        ++fields;
    }
    return ppm.mid(i + 1);  // one white-space character ends the header
}

}  // namespace varnoset::test
