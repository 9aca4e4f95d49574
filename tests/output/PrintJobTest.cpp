#include <gtest/gtest.h>

#include <algorithm>

#include "app/dialogs/PrinterSetup.h"
#include "imaging/Picture.h"
#include "output/PrintJob.h"
#include "output/PrintOptions.h"
#include "tests/support/RecordingPrinter.h"

namespace varnoset {
namespace {

using test::CallLog;
using test::RecordingPrinterLayer;
using test::RecordingPrintHost;

const QSize kScreenDpi{96, 96};

Picture solidPicture(int width, int height) {
    Picture picture(width, height, PixelFormat::Rgb24);
    std::fill(picture.bits().begin(), picture.bits().end(), std::uint8_t{0x80});
    return picture;
}

std::vector<std::string> callsOfKind(const CallLog& log, const std::string& kind) {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& c) { return c.rfind(kind, 0) == 0; });
    return out;
}

struct JobFixture : ::testing::Test {
    CallLog log;
    RecordingPrinterLayer layer{log};
    RecordingPrintHost host{log};
    PrintOptions options;
    Picture picture = solidPicture(640, 480);

    void run() { PrintJob(layer, host).run(picture, options, kScreenDpi); }
};

TEST_F(JobFixture, OneCopyRunsEveryStepInOrder) {
    options.footer = {true, true, true, "a note", "box", "ann", "Linux"};
    host.entryText = "Inkjet";
    host.entryIndex = 1;
    run();

    // 600 dpi, offset 100: W = 4800, H = 6700 - 4 × 84 = 6364; lines at H + 84, + 168, + 252.
    const CallLog expected = {
        "window disabled",
        "select 1",
        "wait 50",
        "orientation landscape",
        "orientation portrait",
        "wait 50",
        "measure",
        "font Arial 10",
        "wait 50",
        "cursor wait",
        "progress 10",
        "progress 20",
        "progress 30",
        "begin Varnoset v3.00 Picture",
        "picture 50,50 4480x3360",
        "DATE LINE",
        "text 60,6532 Computer name : box   User name : ann   Operating System : Linux",
        "text 60,6616 Note : a note",
        "progress 40",
        "progress 50",
        "progress 60",
        "progress 70",
        "end",
        "wait 100",
        "progress reset",
        "window enabled",
        "cursor default",
        "minimize",
    };
    ASSERT_EQ(log.size(), expected.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (expected[i] == "DATE LINE") {
            EXPECT_EQ(log[i].rfind("text 60,6448 Date + time : ", 0), 0u) << log[i];
        } else {
            EXPECT_EQ(log[i], expected[i]) << "call " << i;
        }
    }
    EXPECT_TRUE(host.windowEnabled);
    EXPECT_FALSE(host.waitCursor);
    EXPECT_EQ(host.progress, 0);
    ASSERT_EQ(layer.pictures.size(), 1u);
    EXPECT_EQ(layer.pictures[0].size(), QSize(640, 480));
}

TEST_F(JobFixture, LandscapeMeasuresTheTurnedPageAndFooterLinesFollowTheCheckedBoxes) {
    options.portrait = false;
    options.footer = {false, false, true, "", "box", "ann", "Linux"};  // an empty note
    options.centred = true;
    run();
    EXPECT_EQ(callsOfKind(log, "orientation"), std::vector<std::string>{"orientation landscape"});
    // Landscape: PW = 6800, W = 6700; one line reserves 2 × 84: H = 4800 - 168 = 4632.
    EXPECT_EQ(callsOfKind(log, "picture"), std::vector<std::string>{"picture 1110,636 4480x3360"});
    EXPECT_EQ(callsOfKind(log, "text"), std::vector<std::string>{"text 60,4716 Note : "});
}

TEST_F(JobFixture, CopiesPrintOneDocumentEachWithTheProgressBarFillingEveryTime) {
    struct CopiesCase {
        int index;
        int documents;
    };
    for (const CopiesCase c : {CopiesCase{0, 1}, {2, 3}, {9, 10}, {10, 20}, {17, 90}}) {
        SCOPED_TRACE(c.index);
        log.clear();
        options.copiesIndex = c.index;
        run();
        EXPECT_EQ(callsOfKind(log, "begin").size(), static_cast<std::size_t>(c.documents));
        EXPECT_EQ(callsOfKind(log, "end").size(), static_cast<std::size_t>(c.documents));
        EXPECT_EQ(callsOfKind(log, "progress 70").size(), static_cast<std::size_t>(c.documents));
        EXPECT_EQ(callsOfKind(log, "progress reset").size(), static_cast<std::size_t>(c.documents));
        EXPECT_EQ(callsOfKind(log, "minimize").size(), 1u);
    }
    EXPECT_EQ(host.highestProgress, 70);
}

TEST_F(JobFixture, TheEntryChoosesThePrinter) {
    struct ChoiceCase {
        const char* text;
        int index;
        const char* selection;
    };
    for (const ChoiceCase c : {ChoiceCase{"Default Printer", 2, "select default"},
                               {"", -1, "select default"},
                               {"Laser", 0, "select 0"},
                               {"Inkjet", 1, "select 1"}}) {
        log.clear();
        host.entryText = c.text;
        host.entryIndex = c.index;
        run();
        EXPECT_EQ(callsOfKind(log, "select"), std::vector<std::string>{c.selection}) << c.text;
    }
}

TEST_F(JobFixture, ADisabledPrinterListEndsTheJobBeforeAnythingHappens) {
    host.listEnabled = false;
    run();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(host.minimized, 0);
}

TEST_F(JobFixture, APrinterErrorRestoresTheWindowAndIsPassedOn) {
    struct FailCase {
        const char* kind;
        int at;
    };
    // No default printer, an orientation refused, the second copy's document refused, drawing
    // and ending refused in the middle of a document.
    for (const FailCase c :
         {FailCase{"select", 1}, {"orientation", 2}, {"begin", 2}, {"text", 1}, {"end", 3}}) {
        SCOPED_TRACE(c.kind);
        CallLog failLog;
        RecordingPrinterLayer failing(failLog);
        RecordingPrintHost failHost(failLog);
        failing.failOn = c.kind;
        failing.failAt = c.at;
        options.copiesIndex = 2;
        options.footer.printNote = true;
        EXPECT_THROW(PrintJob(failing, failHost).run(picture, options, kScreenDpi), Error);
        EXPECT_TRUE(failHost.windowEnabled);
        EXPECT_FALSE(failHost.waitCursor);
        EXPECT_EQ(failHost.progress, 0);
        EXPECT_EQ(failHost.minimized, 0);
        // A document left open would refuse every later job with "Printing in progress".
        EXPECT_FALSE(failing.isPrinting());
    }

    layer.defaultName.clear();
    try {
        run();
        FAIL() << "no default printer must not print";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
    EXPECT_TRUE(host.windowEnabled);
}

TEST_F(JobFixture, AnEmptyPictureStillPrintsTheFooter) {
    picture = Picture();
    options.footer.printNote = true;
    run();
    EXPECT_TRUE(callsOfKind(log, "picture").empty());
    EXPECT_EQ(callsOfKind(log, "text").size(), 1u);
    EXPECT_EQ(callsOfKind(log, "end").size(), 1u);
}

TEST_F(JobFixture, APalettePictureReachesThePrinterWithItsColours) {
    picture = Picture(4, 2, PixelFormat::Indexed8, {rgbValue(255, 0, 0), rgbValue(0, 0, 255)});
    std::fill(picture.bits().begin(), picture.bits().end(), std::uint8_t{1});
    run();
    ASSERT_EQ(layer.pictures.size(), 1u);
    EXPECT_EQ(QColor(layer.pictures[0].pixel(3, 1)), QColor(0, 0, 255));
}

TEST_F(JobFixture, ThePreviewShowsThePagePrintSends) {
    options.portrait = false;
    options.centred = true;
    options.copiesIndex = 2;
    options.footer = {false, true, true, "a note", "box", "ann", "Linux"};
    run();
    const CallLog printed = log;

    // The same printer, orientation and page, as a document of the copies chosen; printed from
    // the preview, the page is painted once more and the window hides as after a job.
    log.clear();
    layer.printFromPreview = true;
    EXPECT_TRUE(PrintJob(layer, host).preview(picture, options, kScreenDpi, nullptr));
    EXPECT_EQ(callsOfKind(log, "preview").front(), "preview Varnoset v3.00 Picture x3");
    EXPECT_EQ(callsOfKind(log, "picture"), CallLog(2, callsOfKind(printed, "picture").front()));
    const CallLog footer = callsOfKind(printed, "text");
    EXPECT_EQ(callsOfKind(log, "text").front(), footer.front());
    EXPECT_EQ(host.minimized, 2);

    // A page that cannot take the footer is reported before any preview opens.
    log.clear();
    layer.portrait = {600, 600, 0, 0, 200, 200};
    EXPECT_THROW(PrintJob(layer, host).preview(picture, options, kScreenDpi, nullptr), Error);
    EXPECT_TRUE(callsOfKind(log, "preview").empty());
}

TEST_F(JobFixture, PrinterSetupSelectsTheEntrysPrinterBeforeTheDialog) {
    host.entryText = "Inkjet";
    host.entryIndex = 1;
    runPrinterSetup(layer, host, nullptr);
    EXPECT_EQ(log, (CallLog{"select 1", "wait 50", "setup dialog"}));

    log.clear();
    host.entryText = "Default Printer";
    layer.defaultName.clear();
    EXPECT_THROW(runPrinterSetup(layer, host, nullptr), Error);
    EXPECT_EQ(log, (CallLog{"select default"}));  // no dialog
}

}  // namespace
}  // namespace varnoset
