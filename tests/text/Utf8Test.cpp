#include "text/Utf8.h"

#include <gtest/gtest.h>
#include <random>

namespace {

TEST(Utf8Test, BrokenSequencesBecomeOneEscapePerByte) {
    const std::pair<std::string, std::u32string> Cases[] = {
        {"kůň\U0001F3AF", U"k\u016F\u0148\U0001F3AF"},
        {"\xC0\xAF", U"\xDCC0\xDCAF"},                     // overlong "/"
        {"\xED\xA0\x80", U"\xDCED\xDCA0\xDC80"},           // surrogate U+D800
        {"\xF4\x90\x80\x80", U"\xDCF4\xDC90\xDC80\xDC80"}, // above U+10FFFF
        {"\xE2\x82;\xFF", U"\xDCE2\xDC82;\xDCFF"},         // cut short
    };
    for (const auto& [Bytes, CodePoints] : Cases) {
        EXPECT_EQ(DecodeUtf8(Bytes), CodePoints);
        EXPECT_EQ(EncodeUtf8(CodePoints), Bytes);
    }
    EXPECT_EQ(EncodeUtf8(U"\xD800\xDC41\x110000"), "\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8Test, EveryByteStringRoundTrips) {
    for (int Word = 0; Word < 0x10000; ++Word) {
        const std::string Bytes{static_cast<char>(Word >> 8), static_cast<char>(Word)};
        ASSERT_EQ(EncodeUtf8(DecodeUtf8(Bytes)), Bytes) << Word;
    }
    std::mt19937 Random(20240611);
    for (int Round = 0; Round < 20000; ++Round) {
        std::string Bytes(static_cast<std::size_t>(Round % 9), '\0');
        for (char& C : Bytes) {
            C = static_cast<char>(Random());
        }
        ASSERT_EQ(EncodeUtf8(DecodeUtf8(Bytes)), Bytes);
    }
}

} // namespace
