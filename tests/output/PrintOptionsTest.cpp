#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <functional>

#include "app/dialogs/FooterTextDialog.h"
#include "app/dialogs/KeepProportionsRefusal.h"
#include "app/dialogs/PrinterListBox.h"
#include "output/FooterLines.h"
#include "output/PageLayout.h"
#include "output/PrintCopies.h"
#include "output/PrinterList.h"
#include "tests/support/ModalDialogDriver.h"

namespace varnoset {
namespace {

// Runs the call with the action applied to the modal dialog it opens; returns the call's result.
template <typename Dialog, typename Call>
auto withModal(std::function<void(Dialog&)> action, Call call) {
    const test::ModalDialogDriver<Dialog> driver(std::move(action));
    auto result = call();
    EXPECT_TRUE(driver.seen()) << "no dialog opened";
    return result;
}

TEST(PrintOptionsTest, CopiesListAndItsCounts) {
    EXPECT_EQ(copiesEntries(), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "20",
                                            "30", "40", "50", "60", "70", "80", "90"}));
    EXPECT_EQ(copiesForIndex(0), 1);
    EXPECT_EQ(copiesForIndex(9), 10);
    EXPECT_EQ(copiesForIndex(10), 20);
    EXPECT_EQ(copiesForIndex(17), 90);
    EXPECT_EQ(copiesForIndex(-1), 0);
    EXPECT_EQ(copiesForIndex(18), 0);
}

TEST(PrintOptionsTest, PrinterListEntriesAndTheStoredPrinter) {
    EXPECT_TRUE(printerListEntries({}).isEmpty());
    const QStringList one = printerListEntries({"FILE"});
    EXPECT_EQ(one, (QStringList{"FILE", "Default Printer"}));

    // Exact comparison, the last equal entry wins, no equal entry selects nothing.
    const QStringList twins{"Laser", "laser", "Laser", "Default Printer"};
    EXPECT_EQ(printerEntryFor(twins, "Laser"), 2);
    EXPECT_EQ(printerEntryFor(twins, "LASER"), -1);
    EXPECT_EQ(printerEntryFor(twins, "Default Printer"), 3);
    EXPECT_EQ(printerEntryFor(one, "Other"), -1);

    QComboBox list;
    fillPrinterList(list, {"Laser", "Laser"});
    EXPECT_TRUE(list.isEnabled());
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.currentText(), QString());
    selectStoredPrinter(list, "Laser");
    EXPECT_EQ(list.currentIndex(), 1);
    selectStoredPrinter(list, "Gone");  // leaves the selection as it is
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(list.currentText(), "Laser");

    fillPrinterList(list, {});
    EXPECT_FALSE(list.isEnabled());
    EXPECT_EQ(list.count(), 0);
}

TEST(PrintOptionsTest, FooterLinesInTheirFixedOrderOverTheCheckedBoxesOnly) {
    const PageLayout layout = layOutPage({600, 600, 100, 100, 4900, 6800, 96, 96}, {640, 480},
                                         {PictureSize::Normal, false, false, 2, 10});
    const QDateTime when(QDate(1999, 12, 31), QTime(23, 59, 58));
    FooterContent content{true, false, true, QString(80, 'x'), "box", "ann", "- Unknown -"};
    std::vector<FooterLine> lines = footerLines(content, when, layout);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].topLeft, QPoint(60, 6700 - 3 * 84 + 84));
    EXPECT_EQ(lines[0].text, "Date + time : " + footerDateTimeText(when));
    EXPECT_EQ(lines[1].topLeft, QPoint(60, 6700 - 3 * 84 + 2 * 84));
    EXPECT_EQ(lines[1].text, "Note : " + QString(80, 'x'));
    EXPECT_EQ(lines[1].text.size(), 87);

    content = {false, true, false, "", "- Not Defined -", "ann", "Linux"};
    lines = footerLines(content, when, layout);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].topLeft.y(), layout.footerLineTop(1));
    EXPECT_EQ(lines[0].text,
              "Computer name : - Not Defined -   User name : ann   Operating System : Linux");
    EXPECT_EQ(userInfoTip("box", "ann", "Linux"), "box  ann  Linux");

    // The short date comes before the long time, which shows the seconds.
    const QString stamp = footerDateTimeText(when);
    EXPECT_TRUE(stamp.contains("58")) << stamp.toStdString();
    EXPECT_LT(stamp.indexOf("99"), stamp.indexOf("59")) << stamp.toStdString();

    // The long time never names a zone, whatever the locale puts where.
    const std::pair<const char*, const char*> formats[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"},
        {"HH:mm:ss t", "HH:mm:ss"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"HH 'h' mm 'to' t", "HH 'h' mm 'to'"},
    };
    for (const auto& [format, kept] : formats) {
        EXPECT_EQ(withoutTimeZone(format), kept) << format;
    }
    for (const char* name : {"en_US", "de_DE", "fi_FI", "ja_JP"}) {
        const QDateTime utc(QDate(2026, 1, 2), QTime(15, 33, 45), Qt::UTC);
        const QString text = footerDateTimeText(utc, QLocale(QString::fromLatin1(name)));
        EXPECT_FALSE(text.contains("UTC")) << text.toStdString();
        EXPECT_TRUE(text.contains("33")) << text.toStdString();
    }
}

TEST(PrintOptionsTest, FooterTextBoxKeepsEightyCharactersAndCancelKeepsTheOldText) {
    const QString current = "Old footer";
    const QString typed = withModal<QInputDialog>(
        [](QInputDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Page footer Text");
            EXPECT_EQ(dialog.labelText(), "Enter the Text (Max 80 char)");
            EXPECT_EQ(dialog.textValue(), "Old footer");
            // The field takes 255 characters of the 300 offered.
            auto* field = dialog.findChild<QLineEdit*>();
            ASSERT_NE(field, nullptr);
            field->setText(QString(100, 'a') + QString(200, 'b'));
            EXPECT_EQ(field->text().size(), 255);
            dialog.accept();
        },
        [&] { return askFooterText(nullptr, current); });
    EXPECT_EQ(typed, QString(80, 'a'));

    const QString cancelled = withModal<QInputDialog>(
        [](QInputDialog& dialog) {
            dialog.setTextValue("edited, then cancelled");
            dialog.reject();
        },
        [&] { return askFooterText(nullptr, current); });
    EXPECT_EQ(cancelled, current);
    EXPECT_EQ(cutToFooterCapacity(QString(81, 'c')), QString(80, 'c'));
}

TEST(PrintOptionsTest, KeepProportionsAndPageSizeExcludeEachOther) {
    QCheckBox keep;
    QRadioButton pageSize;
    int beeps = 0;
    const auto beep = [&] { ++beeps; };
    // Page size off: the click stands, no beep, no message.
    keep.setChecked(true);
    refuseKeepProportionsOnPageSize(nullptr, keep, pageSize, beep);
    EXPECT_TRUE(keep.isChecked());
    EXPECT_EQ(beeps, 0);

    // Page size on: beep, the information box, and the box ends unchecked.
    pageSize.setChecked(true);
    QString shown;
    withModal<QMessageBox>(
        [&](QMessageBox& box) {
            shown = box.text();
            EXPECT_EQ(box.icon(), QMessageBox::Information);
            box.accept();
        },
        [&] {
            refuseKeepProportionsOnPageSize(nullptr, keep, pageSize, beep);
            return 0;
        });
    EXPECT_EQ(shown, "Keeping Proportions not allowed\nif Picture = Page Size");
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(keep.isChecked());
}

}  // namespace
}  // namespace varnoset
