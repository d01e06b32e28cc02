#include "files/ImportText.h"

#include "files/ImportMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace importfile;
using namespace std::literals;
using testing::ElementsAre;

namespace {

std::string Decoded(std::string_view Bytes) {
    std::string Storage;
    return std::string(DecodedText(Bytes, Storage));
}

std::vector<std::string_view> Lines(std::string_view Text) {
    std::vector<std::string_view> Result;
    for (std::size_t Pos = 0; Pos < Text.size();)
        Result.push_back(NextLine(Text, Pos));
    return Result;
}

} // namespace

TEST(ImportTextTest, Utf16BecomesUtf8WithoutItsMarkAndBrokenPairsBecomeReplacements) {
    EXPECT_EQ(Decoded("\xFF\xFE\x41\x00\x3D\xD8\x00\xDE"sv), "A\xF0\x9F\x98\x80");
    EXPECT_EQ(Decoded("\xFE\xFF\x00\x41\xD8\x3D\xDE\x00"sv), "A\xF0\x9F\x98\x80");
    // A lone half of a pair must not come out as the raw byte that UTF-8 decoding escapes so.
    EXPECT_EQ(Decoded("\xFF\xFE\x41\xDC\x3D\xD8\x42\x00"sv), "\xEF\xBF\xBD\xEF\xBF\xBD\x42");
    EXPECT_EQ(Decoded("\xFF\xFE\x41\x00\x42"sv), "A");
    EXPECT_EQ(Decoded("\xEF\xBB\xBFSpeed"sv), "Speed");
    EXPECT_EQ(Decoded("Geschwindigkeit \xB5"sv), "Geschwindigkeit \xB5");
}

TEST(ImportTextTest, CrsBeforeAnLfEndOneLineAndARunWithoutOneAlsoABlankLine) {
    EXPECT_THAT(Lines("a\r\r\nb\r\n"), ElementsAre("a", "b"));
    EXPECT_THAT(Lines("a\r\r\r\rb"), ElementsAre("a", "", "b"));
    EXPECT_THAT(Lines("a\n\nb\rc"), ElementsAre("a", "", "b", "c"));
}

TEST(ImportTextTest, RecordsHoldQuotedSeparatorsAndLineEndsAndAtMostTheColumnLimit) {
    TFields Fields;
    std::size_t Pos = 0;
    const std::string_view Quoted = "\"a;b\";\"c\"\"d\";\"e\r\nf\";g\"h\r\r\nnext";
    ReadRecord(Quoted, Pos, ';', Fields);
    EXPECT_THAT(Fields, ElementsAre("a;b", "c\"d", "e\r\nf", "g\"h"));
    EXPECT_EQ(Quoted.substr(Pos), "next");

    std::string Wide;
    for (int Column = 0; Column < 5000; ++Column)
        Wide += std::to_string(Column) + ",";
    Wide += "\nnext";
    Pos = 0;
    ReadRecord(Wide, Pos, ',', Fields);
    ASSERT_EQ(Fields.size(), 1024u);
    EXPECT_EQ(Fields[1022], "1022");
    EXPECT_LT(Fields.back().size(), 5u);
    EXPECT_EQ(Wide.substr(Pos), "next");
}

TEST(ImportTextTest, FileTextInMessagesIsOneLineAndOnlyItsStart) {
    EXPECT_EQ(FileText(" Speed\r\n\t (m/s) "), "Speed (m/s)");
    EXPECT_EQ(FileText(std::string(100, 'x')), std::string(40, 'x') + "...");
    EXPECT_TRUE(IsBlank({"", " \t", "\r\n"}));
    EXPECT_FALSE(IsBlank({"", "."}));
}
