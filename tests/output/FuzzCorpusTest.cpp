#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/Error.h"
#include "output/BmpReader.h"
#include "output/JpegReader.h"
#include "output/PngReader.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

// Every input of the fuzzing corpus: the seeds read (the CMYK one is refused by design), and
// every other input, crashes found by fuzzing among them, is read or refused with an Error.
TEST(FuzzCorpus, EveryInputIsReadOrRefusedCleanly) {
    const QDir corpus(QStringLiteral(VARNOSET_FUZZ_CORPUS));
    int inputs = 0;
    for (const QString& kind :
         {QStringLiteral("bmp"), QStringLiteral("jpeg"), QStringLiteral("png")}) {
        const QDir folder(corpus.filePath(kind));
        for (const QString& name : folder.entryList(QDir::Files)) {
            SCOPED_TRACE((kind + "/" + name).toStdString());
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const bool seed = name.startsWith(QLatin1String("seed-")) && !name.contains("cmyk");
            for (const int displayBits : {32, 8}) {
                try {
                    const Picture picture = kind == QLatin1String("bmp")
                                                ? readBmp(test::bytesOf(bytes))
                                            : kind == QLatin1String("png")
                                                ? readPng(test::bytesOf(bytes))
                                                : readJpeg(test::bytesOf(bytes), displayBits);
                    EXPECT_FALSE(picture.isEmpty());
                } catch (const Error& e) {
                    EXPECT_FALSE(seed) << e.what();
                }
            }
            ++inputs;
        }
    }
    EXPECT_GE(inputs, 33);
}

}  // namespace
}  // namespace varnoset
