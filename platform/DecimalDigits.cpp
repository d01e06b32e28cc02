#include "platform/DecimalDigits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace platform {
namespace {

// Enough exact digits of the binary value that rounding them to 15 digits decides every half
// the way the exact value would.
constexpr int ExactDigits = 40;
constexpr int SignificantDigits = 15;

// Whether the digits stand for more than the largest double, which no reader takes back.
bool ExceedsLargestDouble(const TDecimalDigits& Number) {
    if (Number.PointPosition <= std::numeric_limits<double>::max_exponent10)
        return false;
    const std::string Text = "0." + Number.Digits + "e" + std::to_string(Number.PointPosition);
    double Value = 0;
    return std::from_chars(Text.data(), Text.data() + Text.size(), Value).ec ==
           std::errc::result_out_of_range;
}

} // namespace

TDecimalDigits TDecimalDigits::FromDouble(double Value) {
    TDecimalDigits Result;
    Result.Negative = std::signbit(Value);
    char Buffer[ExactDigits + 16];
    const auto End = std::to_chars(Buffer, Buffer + sizeof Buffer, std::fabs(Value),
                                   std::chars_format::scientific, ExactDigits)
                         .ptr;
    const std::string_view Text(Buffer, End - Buffer);
    const std::size_t ExponentAt = Text.find('e');
    Result.Digits = std::string(1, Text[0]) + std::string(Text.substr(2, ExponentAt - 2));
    Result.PointPosition = std::atoi(std::string(Text.substr(ExponentAt + 1)).c_str()) + 1;
    TDecimalDigits Rounded = Result;
    Rounded.RoundAt(SignificantDigits);
    if (!ExceedsLargestDouble(Rounded))
        return Rounded;
    // The largest values keep their first digits as they are instead.
    Result.Digits.resize(SignificantDigits);
    Result.RoundAt(SignificantDigits);
    return Result;
}

void TDecimalDigits::RoundToDecimals(int Decimals) {
    RoundAt(PointPosition + Decimals);
}

void TDecimalDigits::RoundAt(int Keep) {
    if (Keep < static_cast<int>(Digits.size())) {
        const bool RoundUp = Keep >= 0 && Digits[Keep] >= '5';
        Digits.resize(Keep < 0 ? 0 : Keep);
        if (RoundUp) {
            int i = Keep - 1;
            for (; i >= 0 && Digits[i] == '9'; --i)
                Digits[i] = '0';
            if (i < 0) {
                Digits.insert(Digits.begin(), '1');
                ++PointPosition;
            } else {
                ++Digits[i];
            }
        }
    }
    while (!Digits.empty() && Digits.back() == '0')
        Digits.pop_back();
    if (Digits.empty())
        PointPosition = 0;
}

std::string TDecimalDigits::IntegerDigits(int MinDigits) const {
    std::string Result;
    for (int i = 0; i < PointPosition; ++i)
        Result += i < static_cast<int>(Digits.size()) ? Digits[i] : '0';
    if (static_cast<int>(Result.size()) < MinDigits)
        Result.insert(0, MinDigits - Result.size(), '0');
    return Result;
}

std::string TDecimalDigits::FractionDigits(int Count) const {
    std::string Result;
    for (int k = 0; k < Count; ++k) {
        const int i = PointPosition + k;
        Result += i >= 0 && i < static_cast<int>(Digits.size()) ? Digits[i] : '0';
    }
    return Result;
}

} // namespace platform
