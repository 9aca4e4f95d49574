#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <chrono>
#include <string>

namespace varnoset::test {

// The private CUPS server of the desktop harness: its queue FILE writes PostScript to one file.
class CupsQueue {
public:
    static bool available() { return !qEnvironmentVariableIsEmpty("VARNOSET_CUPS_OUT"); }

    static QString outputFile() { return qEnvironmentVariable("VARNOSET_CUPS_OUT"); }
    static QString scratchDir() {
        return qEnvironmentVariable("VARNOSET_TEST_ROOT") + QStringLiteral("/tmp");
    }

    // Runs a CUPS or Ghostscript command line tool; returns its standard output.
    static QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr) {
        QProcess process;
        process.start(program, arguments);
        const bool finished = process.waitForFinished(60000);
        const bool success =
            finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (ok != nullptr) {
            *ok = success;
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static int lineCount(const QString& text) {
        return static_cast<int>(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
    }

    static int completedJobs() {
        return lineCount(run("lpstat", {"-W", "completed", "-o", "FILE"}));
    }
    static int pendingJobs() { return lineCount(run("lpstat", {"-o", "FILE"})); }

    // Waits until that many jobs have completed and none is left; false after a minute.
    static bool waitForCompleted(int count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (completedJobs() >= count && pendingJobs() == 0) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    // The filters run as the lp user and must reach the queue's files below the test folder.
    static void letFiltersIn() {
        QFile::setPermissions(qEnvironmentVariable("VARNOSET_TEST_ROOT"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                  QFile::ExeOther);
    }

    // The printed page rendered by Ghostscript at the given resolution; null when it failed.
    static QImage render(int dpi) {
        const QString png = scratchDir() + QStringLiteral("/page.png");
        QFile::remove(png);
        run("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=png16m",
                   QStringLiteral("-r%1").arg(dpi), "-sOutputFile=" + png, outputFile()});
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
};

}  // namespace varnoset::test
