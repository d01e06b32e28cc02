#include "files/USpreadsheetExport.h"

#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"

#include <gtest/gtest.h>

namespace {

const TSeriesSheet Sheet{{"Shot", "Speed [m/s]"},
                         {{"1", "175.00"}, {"2", "176,50"}},
                         {{"Shots", "2"}, {"Note", "say \"hi\"\nthere"}}};

} // namespace

TEST(SpreadsheetExport, SeparatorFollowsTheDecimalSeparator) {
    {
        const TScopedFormatSettings Comma(",", ".");
        EXPECT_EQ(SpreadsheetSeparator(), ';');
    }
    const TScopedFormatSettings Point(".", ",");
    EXPECT_EQ(SpreadsheetSeparator(), ',');
}

TEST(SpreadsheetExport, CsvHasMarkCrLfBlankRowAndQuotesOnlyWhereNeeded) {
    EXPECT_EQ(SheetCsv(Sheet, ','), "\xEF\xBB\xBF"
                                    "Shot,Speed [m/s]\r\n"
                                    "1,175.00\r\n"
                                    "2,\"176,50\"\r\n"
                                    "\r\n"
                                    "Shots,2\r\n"
                                    "Note,\"say \"\"hi\"\"\nthere\"\r\n");
    EXPECT_EQ(SheetCsv(Sheet, ';'), "\xEF\xBB\xBF"
                                    "Shot;Speed [m/s]\r\n"
                                    "1;175.00\r\n"
                                    "2;176,50\r\n"
                                    "\r\n"
                                    "Shots;2\r\n"
                                    "Note;\"say \"\"hi\"\"\nthere\"\r\n");
}

TEST(SpreadsheetExport, ClipboardTextIsTabSeparated) {
    EXPECT_EQ(TabSeparatedText({{"1", "175.00", "8.38"}, {"3", "180.00", "8.86"}}),
              "1\t175.00\t8.38\n3\t180.00\t8.86\n");
    EXPECT_EQ(TabSeparatedText({}), "");
}

TEST(SpreadsheetExport, FileIsReplacedWholeOrNotAtAll) {
    const TScopedFormatSettings Point(".");
    tests::TTempFolder Folder;
    const std::string FileName = Folder.File("series.csv");
    tests::WriteFileText(FileName, "old");
    ExportSpreadsheet(FileName, Sheet);
    EXPECT_EQ(tests::ReadFileText(FileName), SheetCsv(Sheet, ','));
    const std::string Missing = Folder.File("no/such/folder/series.csv");
    try {
        ExportSpreadsheet(Missing, Sheet);
        FAIL() << "an export into a missing folder succeeded";
    } catch (const std::exception& Error) {
        EXPECT_NE(std::string(Error.what()).find(Missing), std::string::npos) << Error.what();
    }
}
