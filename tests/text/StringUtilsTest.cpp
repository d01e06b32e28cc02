#include "text/StringUtils.h"

#include <gtest/gtest.h>

namespace {

struct TFindCase {
    std::string Text;
    char32_t Delimiter;
    int Start;
    bool QuoteAware;
    bool ParenthesisAware;
    int Expected;
};

class FindDelimiterTest : public testing::TestWithParam<TFindCase> {};

TEST_P(FindDelimiterTest, FindsPositionInCharacters) {
    const TFindCase& C = GetParam();
    EXPECT_EQ(FindDelimiter(C.Text, C.Delimiter, C.Start, C.QuoteAware, C.ParenthesisAware),
              C.Expected)
        << C.Text << " from " << C.Start;
}

INSTANTIATE_TEST_SUITE_P(Plain, FindDelimiterTest,
                         testing::Values(TFindCase{"ab;cd", U';', 1, false, false, 3},
                                         TFindCase{"ab;cd", U';', 4, false, false, 6},
                                         TFindCase{"ab;cd", U';', 9, false, false, 9},
                                         TFindCase{"ab;cd", U';', 0, false, false, 3},
                                         TFindCase{"", U';', 1, false, false, 1},
                                         TFindCase{"%TEMP%\\x", U'%', 2, false, false, 6},
                                         TFindCase{"žluť;kůň;", U';', 1, false, false, 5},
                                         TFindCase{"žluť;kůň;", U';', 6, false, false, 9},
                                         TFindCase{"čáp€ňů", U'€', 1, false, false, 4}));

INSTANTIATE_TEST_SUITE_P(Nested, FindDelimiterTest,
                         testing::Values(TFindCase{"'a;b';c", U';', 1, true, false, 6},
                                         TFindCase{"'a\";b", U';', 1, true, false, 4},
                                         TFindCase{"'a;b';c", U';', 1, false, false, 3},
                                         TFindCase{"f(a;b);c", U';', 1, false, true, 7},
                                         TFindCase{"a);b", U';', 1, false, true, 3},
                                         TFindCase{"'(';x);y", U';', 1, true, true, 7},
                                         TFindCase{"(a;b", U';', 1, false, true, 5}));

struct TSplitCase {
    std::string Text;
    char32_t Delimiter;
    TArrayOfString Pieces;
};

class SplitTextTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitTextTest, SplitsAtEveryDelimiter) {
    EXPECT_EQ(SplitText(GetParam().Text, GetParam().Delimiter), GetParam().Pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Records, SplitTextTest,
    testing::Values(TSplitCase{"", U';', {""}}, TSplitCase{"a", U';', {"a"}},
                    TSplitCase{";", U';', {"", ""}}, TSplitCase{"a;", U';', {"a", ""}},
                    TSplitCase{";a", U';', {"", "a"}}, TSplitCase{"a;;b", U';', {"a", "", "b"}},
                    TSplitCase{"12.5;m/s", U';', {"12.5", "m/s"}},
                    TSplitCase{" 'a;b' ", U';', {" 'a", "b' "}},
                    TSplitCase{"žluť;kůň", U';', {"žluť", "kůň"}},
                    TSplitCase{"1€2€", U'€', {"1", "2", ""}},
                    TSplitCase{"\xFF;\xE2\x82;\xC3", U';', {"\xFF", "\xE2\x82", "\xC3"}}));

TEST(StringUtilsTest, SplitNeverCutsOrLosesAByte) {
    std::string AllBytes;
    for (int B = 0; B < 256; ++B) {
        AllBytes += static_cast<char>(B);
        AllBytes += "\xC5\xA1;";
    }
    const TArrayOfString Pieces = SplitText(AllBytes, U';');
    ASSERT_EQ(Pieces.size(), 258U);
    std::string Joined = Pieces[0];
    for (std::size_t I = 1; I < Pieces.size(); ++I) {
        Joined += ";" + Pieces[I];
    }
    EXPECT_EQ(Joined, AllBytes);
}

TEST(StringUtilsTest, MapHeaderNumbersTheColumnsAndStopsAtADuplicate) {
    TAssocArray Map;
    MapHeader("speed;speed_unit;pelet_weight;pelet_weight_unit", Map);
    EXPECT_EQ(Map.GetValue("speed"), TVariant{std::int64_t{0}});
    EXPECT_EQ(Map.GetValue("pelet_weight_unit"), TVariant{std::int64_t{3}});

    TAssocArray Twice;
    EXPECT_THROW(MapHeader("a;a", Twice), EAssocArrayException);
    EXPECT_EQ(Twice.Items().size(), 1U);
    EXPECT_EQ(Twice.GetValue("a"), TVariant{std::int64_t{0}});
}

TEST(StringUtilsTest, FieldByHeaderFallsBackToTheDefault) {
    TAssocArray Map;
    MapHeader("speed;speed_unit;Energy", Map);
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3"}, Map, "m/s"), "m/s");
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3", "fps"}, Map, "m/s"), "fps");
    EXPECT_EQ(FieldByHeader("speed_unit", {"250.3", ""}, Map, "m/s"), "");
    EXPECT_EQ(FieldByHeader("energy", {"1", "2", "3"}, Map, "J"), "J");
}

TEST(StringUtilsTest, StrictFieldByHeaderRaisesOnlyForAnUnknownName) {
    TAssocArray Map;
    MapHeader("speed;speed_unit;Energy", Map);
    EXPECT_EQ(FieldByHeader("speed", {" 250.3 "}, Map), " 250.3 ");
    EXPECT_EQ(FieldByHeader("Energy", {"1", "2"}, Map), "");
    try {
        FieldByHeader("energy", {"1", "2", "3"}, Map);
        FAIL() << "an unknown name must raise";
    } catch (const EAssocArrayException& E) {
        EXPECT_STREQ(E.what(), "Key [energy] not found.");
    }
    Map.Add(std::string("2"), "weight");
    EXPECT_THROW(FieldByHeader("weight", {"1", "2", "3"}, Map), EAssocArrayException);
    EXPECT_THROW(FieldByHeader("weight", {"1", "2", "3"}, Map, "x"), EAssocArrayException);
}

struct TReplaceCase {
    std::string Text, Source, Target, Expected;
};

class ReplaceCharsTest : public testing::TestWithParam<TReplaceCase> {};

TEST_P(ReplaceCharsTest, SubstitutesByPosition) {
    const TReplaceCase& C = GetParam();
    EXPECT_EQ(ReplaceChars(C.Text, C.Source, C.Target), C.Expected);
}

INSTANTIATE_TEST_SUITE_P(Alphabets, ReplaceCharsTest,
                         testing::Values(TReplaceCase{"abc", "abc", "x", "x"},
                                         TReplaceCase{"abc", "", "xyz", "abc"},
                                         TReplaceCase{"abca", "aa", "xy", "xbcx"},
                                         TReplaceCase{"čaj", "čj", "ČJ", "ČaJ"},
                                         TReplaceCase{"a\xFF", "\xFF", "ÿ", "aÿ"}));

TEST(StringUtilsTest, UpperCaseNationalUsesTheNationalAlphabetOnly) {
    EXPECT_EQ(UpperCaseNational("žluťoučký kůň"), "ŽLUŤOUČKÝ KŮŇ");
    EXPECT_EQ(UpperCaseNational("Straße"), "STRAßE");
    EXPECT_EQ(UpperCaseNational("m/s fps 12.5 ÖÜ"), "M/S FPS 12.5 ÖÜ");
    EXPECT_EQ(UpperCaseNational("aáäbcčdďeéěëfghiíjklĺľmnňoóöpqrřsštťuúůüvwxyýzž"),
              "AÁÄBCČDĎEÉĚËFGHIÍJKLĹĽMNŇOÓÖPQRŘSŠTŤUÚŮÜVWXYÝZŽ");
    EXPECT_EQ(UpperCaseNational("ôŕ\xC3"), "ôŕ\xC3");
}

} // namespace
