#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>

#include "app/dialogs/PrinterListBox.h"
#include "app/dialogs/PrinterSetup.h"
#include "imaging/Picture.h"
#include "output/PrintJob.h"
#include "output/PrintOptions.h"
#include "platform/linux/QtPrinterLayer.h"
#include "tests/support/RecordingPrinter.h"

namespace varnoset {
namespace {

// No print server at all: the Qt printer layer against a CUPS socket that does not exist.
TEST(PrintNoCupsTest, NothingToPrintOnMeansNothingHappens) {
    qputenv("CUPS_SERVER", QDir::temp().filePath("varnoset-no-cups/cups.sock").toUtf8());
    QtPrinterLayer layer;
    EXPECT_TRUE(layer.printerNames().empty());

    QComboBox list;
    fillPrinterList(list, layer.printerNames());
    EXPECT_FALSE(list.isEnabled());

    test::CallLog log;
    test::RecordingPrintHost host(log);
    host.listEnabled = list.isEnabled();
    host.entryText = list.currentText();
    host.entryIndex = list.currentIndex();
    PrintOptions options;
    options.footer.printNote = true;
    PrintJob(layer, host).run(Picture(64, 48, PixelFormat::Rgb24), options, {96, 96});
    EXPECT_TRUE(log.empty());  // the direct print after a capture takes this road as well
    EXPECT_EQ(host.minimized, 0);

    // The set-up button asks for the default printer and shows the print system's refusal.
    try {
        runPrinterSetup(layer, host, nullptr);
        FAIL() << "set-up without a printer must fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
    EXPECT_EQ(log, (test::CallLog{}));  // no wait: the refusal comes first
}

}  // namespace
}  // namespace varnoset
