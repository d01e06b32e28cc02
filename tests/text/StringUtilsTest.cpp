#include "text/StringUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(StringUtilsTest, FindDelimiterCountsCharactersAndSkipsNesting) {
    struct {
        std::string Text;
        char32_t Delimiter;
        int Start;
        bool Quotes, Parentheses;
        int Expected;
    } const Cases[] = {
        {"ab;cd", U';', 1, false, false, 3},     {"ab;cd", U';', 4, false, false, 6},
        {"ab;cd", U';', 9, false, false, 9},     {"ab;cd", U';', 0, false, false, 3},
        {"žluť;kůň;", U';', 6, false, false, 9}, {"čáp€ňů", U'€', 1, false, false, 4},
        {"'a;b';c", U';', 1, true, false, 6},    {"'a\";b", U';', 1, true, false, 4},
        {"f(a;b);c", U';', 1, false, true, 7},   {"a);b", U';', 1, false, true, 3},
        {"'(';x);y", U';', 1, true, true, 7},    {"(a;b", U';', 1, false, true, 5}};
    for (const auto& C : Cases) {
        EXPECT_EQ(FindDelimiter(C.Text, C.Delimiter, C.Start, C.Quotes, C.Parentheses), C.Expected)
            << C.Text << " from " << C.Start;
    }
}

TEST(StringUtilsTest, SplitTextKeepsEveryPiece) {
    const std::pair<std::string, TArrayOfString> Cases[] = {
        {"", {""}},
        {";", {"", ""}},
        {"a;;b", {"a", "", "b"}},
        {"'a;b'", {"'a", "b'"}},
        {"žluť;kůň", {"žluť", "kůň"}},
        {"\xFF;\xE2\x82;\xC3", {"\xFF", "\xE2\x82", "\xC3"}}};
    for (const auto& [Text, Pieces] : Cases) {
        EXPECT_EQ(SplitText(Text, U';'), Pieces) << Text;
    }
    EXPECT_EQ(SplitText("1€2€", U'€'), (TArrayOfString{"1", "2", ""}));
}

TEST(StringUtilsTest, SplitNeverCutsOrLosesAByte) {
    std::string Text;
    std::string Joined;
    for (int B = 0; B < 256; ++B) {
        Text += static_cast<char>(B) + std::string("\xC5\xA1;");
    }
    for (const std::string& Piece : SplitText(Text, U';')) {
        Joined += Piece + ";";
    }
    EXPECT_EQ(Joined, Text + ";");
}

TEST(StringUtilsTest, MapHeaderStopsAtADuplicateKeepingEarlierNames) {
    TAssocArray Map;
    EXPECT_THROW(MapHeader("speed;speed_unit;speed", Map), EAssocArrayException);
    EXPECT_EQ(Map.Items().size(), 2U);
    EXPECT_EQ(Map.GetValue("speed_unit"), TVariant{std::int64_t{1}});
}

TEST(StringUtilsTest, FieldByHeader) {
    TAssocArray Map;
    MapHeader("speed;speed_unit;Energy", Map);
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3"}, Map, "m/s"), "m/s");
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3", "fps"}, Map, "m/s"), "fps");
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3", ""}, Map, "m/s"), "");
    EXPECT_EQ(FieldByHeader("energy", {"1", "2", "3"}, Map, "J"), "J");
    EXPECT_EQ(FieldByHeader("speed", {" 250.3 "}, Map), " 250.3 ");
    EXPECT_EQ(FieldByHeader("Energy", {"1", "2"}, Map), "");
    EXPECT_THROW(FieldByHeader("energy", {"1", "2", "3"}, Map), EAssocArrayException);
    Map.Add(std::string("2"), "weight");
    EXPECT_THROW(FieldByHeader("weight", {"1", "2", "3"}, Map, "x"), EAssocArrayException);
}

TEST(StringUtilsTest, ReplaceCharsSubstitutesByPosition) {
    EXPECT_EQ(ReplaceChars("abc", "abc", "x"), "x");
    EXPECT_EQ(ReplaceChars("abc", "", "xyz"), "abc");
    EXPECT_EQ(ReplaceChars("abca", "aa", "xy"), "xbcx");
    EXPECT_EQ(ReplaceChars("čaj\xFF", "čj\xFF", "ČJÿ"), "ČaJÿ");
}

TEST(StringUtilsTest, UpperCaseNationalUsesTheNationalAlphabetOnly) {
    EXPECT_EQ(UpperCaseNational("žluťoučký kůň"), "ŽLUŤOUČKÝ KŮŇ");
    EXPECT_EQ(UpperCaseNational("Straße m/s ôŕ"), "STRAßE M/S ôŕ");
    EXPECT_EQ(UpperCaseNational("aáäbcčdďeéěëfghiíjklĺľmnňoóöpqrřsštťuúůüvwxyýzž"),
              "AÁÄBCČDĎEÉĚËFGHIÍJKLĹĽMNŇOÓÖPQRŘSŠTŤUÚŮÜVWXYÝZŽ");
}

} // namespace

TEST(StringUtilsTest, ReplaceAllNeverRescansWhatItInserted) {
    EXPECT_EQ(ReplaceAll("175.5.1", ".", ","), "175,5,1");
    EXPECT_EQ(ReplaceAll("1.5", ".", ".."), "1..5");
    EXPECT_EQ(ReplaceAll("1\xC2\xA0"
                         "000",
                         "\xC2\xA0", ""),
              "1000");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(StringUtilsTest, QuotedStartCutsLongTextWhereACharacterBegins) {
    const std::string Forty(40, 'x');
    EXPECT_EQ(QuotedStart(""), "");
    EXPECT_EQ(QuotedStart(Forty), Forty);
    EXPECT_EQ(QuotedStart(Forty + "y"), Forty + "...");
    EXPECT_EQ(QuotedStart(std::string(39, 'x') + "\xC5\xA1z"), std::string(39, 'x') + "...");
    EXPECT_EQ(QuotedStart(std::string(38, 'x') + "\xE2\x82\xACz"), std::string(38, 'x') + "...");
    EXPECT_EQ(QuotedStart(std::string(1 << 20, '9')), std::string(40, '9') + "...");
}
