#pragma once

// Number formats: the process-wide separators and every conversion between numbers and text
// that the program shows, stores or reads. Nothing here depends on the C library's global
// locale: digits come from std::to_chars / std::from_chars and separators from FormatSettings().

#include "platform/FormatSettings.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Patterns of '#' and '0' digits with an optional '.', such as "#####0.00", "0.000", "0.##":
// '0' digits are always written, '#' digits only when significant. Halves round away from zero
// on the value's 15-significant-digit decimal form.
std::string FormatFloat(std::string_view Pattern, double Value);
// Value with exactly Decimals digits after the separator (none for 0): the pattern "0.00" for 2.
std::string FormatDecimals(double Value, int Decimals);

// The shortest general form: up to 15 significant digits, no trailing zeros, scientific
// notation ("1.5E20", "1E-7") only for very large or very small magnitudes.
std::string FloatToStr(double Value);

// Strict decimal conversion with the current decimal separator: optional blanks, sign, digits,
// one decimal separator, optional exponent, optional blanks. Anything else, and any text whose
// value is not finite, is not a number.
double StrToFloat(std::string_view Text);
bool TryStrToFloat(std::string_view Text, double& Value);

// Decimal integers, or hexadecimal ones with a "0x" prefix, optionally signed.
int StrToInt(std::string_view Text);
bool TryStrToInt(std::string_view Text, int& Value);

// One argument of Format: an integer, a floating-point number or a text.
class TFormatArg {
public:
    template <std::integral T>
    TFormatArg(T Value) : FValue(static_cast<std::int64_t>(Value)) {}
    TFormatArg(double Value) : FValue(Value) {}
    TFormatArg(std::string_view Value) : FValue(std::string(Value)) {}
    TFormatArg(const char* Value) : FValue(std::string(Value)) {}
    TFormatArg(const std::string& Value) : FValue(Value) {}

    const std::variant<std::int64_t, double, std::string>& Value() const { return FValue; }

private:
    std::variant<std::int64_t, double, std::string> FValue;
};

// printf-like formatting: "%[-][width][.precision]" followed by d (integer), x (hexadecimal),
// f (fixed, two decimals unless a precision is given), s (text), or "%%". Width and precision
// count characters; fixed numbers use the current decimal separator and no thousands separator.
// A directive without a matching argument raises EConvertError.
std::string Format(std::string_view Pattern, std::initializer_list<TFormatArg> Args);

} // namespace platform
