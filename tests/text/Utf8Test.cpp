#include "text/Utf8.h"

#include <gtest/gtest.h>
#include <random>

namespace {

struct TDecodeCase {
    std::string Bytes;
    std::u32string CodePoints;
};

class Utf8DecodeTest : public testing::TestWithParam<TDecodeCase> {};

TEST_P(Utf8DecodeTest, DecodesAndEncodesBack) {
    const TDecodeCase& Case = GetParam();
    EXPECT_EQ(DecodeUtf8(Case.Bytes), Case.CodePoints);
    EXPECT_EQ(EncodeUtf8(Case.CodePoints), Case.Bytes);
}

INSTANTIATE_TEST_SUITE_P(
    WellFormedAndBroken, Utf8DecodeTest,
    testing::Values(TDecodeCase{"", U""}, TDecodeCase{"m/s", U"m/s"},
                    TDecodeCase{"kůň", U"k\u016F\u0148"},
                    TDecodeCase{"\u20AC\U0001F3AF", U"\u20AC\U0001F3AF"},
                    TDecodeCase{"\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
                    // Overlong forms of "/" and of U+0000.
                    TDecodeCase{"\xC0\xAF", U"\xDCC0\xDCAF"},
                    TDecodeCase{"\xE0\x80\x80", U"\xDCE0\xDC80\xDC80"},
                    // A surrogate (U+D800) and a value above U+10FFFF.
                    TDecodeCase{"\xED\xA0\x80", U"\xDCED\xDCA0\xDC80"},
                    TDecodeCase{"\xF4\x90\x80\x80", U"\xDCF4\xDC90\xDC80\xDC80"},
                    // Sequences cut short, at the end and before an ASCII byte.
                    TDecodeCase{"a\xE2\x82", U"a\xDCE2\xDC82"}, TDecodeCase{"\xC3;", U"\xDCC3;"},
                    TDecodeCase{"\x80\xFF\xFE", U"\xDC80\xDCFF\xDCFE"}));

TEST(Utf8Test, CodePointsUtf8CannotCarryBecomeReplacementCharacter) {
    EXPECT_EQ(EncodeUtf8(U"\xD800\xDC41\x110000"), "\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8Test, EveryTwoByteStringRoundTrips) {
    for (int First = 0; First < 256; ++First) {
        for (int Second = 0; Second < 256; ++Second) {
            const std::string Bytes{static_cast<char>(First), static_cast<char>(Second)};
            ASSERT_EQ(EncodeUtf8(DecodeUtf8(Bytes)), Bytes) << First << " " << Second;
        }
    }
}

TEST(Utf8Test, RandomByteStringsRoundTrip) {
    std::mt19937 Random(20240611);
    std::uniform_int_distribution<int> Byte(0, 255);
    for (int Round = 0; Round < 20000; ++Round) {
        std::string Bytes(static_cast<std::size_t>(Round % 9), '\0');
        for (char& C : Bytes) {
            C = static_cast<char>(Byte(Random));
        }
        ASSERT_EQ(EncodeUtf8(DecodeUtf8(Bytes)), Bytes);
    }
}

} // namespace
