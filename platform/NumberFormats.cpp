#include "platform/NumberFormats.h"

#include "platform/DecimalDigits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {
namespace {

// What a pattern such as "#####0.00" asks for.
struct TFixedPattern {
    int MinIntegerDigits = 1;
    int MinDecimals = 0;
    int MaxDecimals = 0;
};

TFixedPattern ParsePattern(std::string_view Pattern) {
    TFixedPattern Result{0, 0, 0};
    const std::size_t Point = Pattern.find('.');
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        const char c = Pattern[i];
        const bool IsDecimal = Point != std::string_view::npos && i > Point;
        if (c == '0')
            ++(IsDecimal ? Result.MinDecimals : Result.MinIntegerDigits);
        if ((c == '0' || c == '#') && IsDecimal)
            ++Result.MaxDecimals;
        else if (c != '0' && c != '#' && i != Point)
            throw EConvertError("Number pattern \"" + std::string(Pattern) + "\" is not supported");
    }
    return Result;
}

const char* NonFiniteText(double Value) {
    if (std::isnan(Value))
        return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

std::string FormatFixed(double Value, const TFixedPattern& Pattern) {
    if (!std::isfinite(Value))
        return NonFiniteText(Value);
    TDecimalDigits Number = TDecimalDigits::FromDouble(Value);
    Number.RoundToDecimals(Pattern.MaxDecimals);
    std::string Decimals = Number.FractionDigits(Pattern.MaxDecimals);
    while (static_cast<int>(Decimals.size()) > Pattern.MinDecimals && Decimals.back() == '0')
        Decimals.pop_back();
    std::string Result = Number.Negative && !Number.IsZero() ? "-" : "";
    Result += Number.IntegerDigits(Pattern.MinIntegerDigits);
    if (!Decimals.empty())
        Result += FormatSettings().DecimalSeparator + Decimals;
    return Result;
}

std::size_t SkipBlanks(std::string_view Text, std::size_t i) {
    while (i < Text.size() && Text[i] == ' ')
        ++i;
    return i;
}

std::size_t SkipDigits(std::string_view Text, std::size_t i) {
    while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9')
        ++i;
    return i;
}

// Rewrites a number in the locale's form as the "C" form that std::from_chars reads, or gives
// the empty text when Text is not a number by the strict rule.
std::string ToPlainNumber(std::string_view Text) {
    const std::string& Separator = FormatSettings().DecimalSeparator;
    std::size_t i = SkipBlanks(Text, 0);
    std::string Plain;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
        Plain += Text[i++] == '-' ? "-" : "";
    std::size_t End = SkipDigits(Text, i);
    const std::string_view Integer = Text.substr(i, End - i);
    std::string_view Fraction;
    if (!Separator.empty() && Text.substr(End).starts_with(Separator)) {
        i = End + Separator.size();
        End = SkipDigits(Text, i);
        Fraction = Text.substr(i, End - i);
    }
    const bool HasDigits = !Integer.empty() || !Fraction.empty();
    Plain += Integer.empty() ? "0" : std::string(Integer);
    Plain += Fraction.empty() ? "" : "." + std::string(Fraction);
    if (End < Text.size() && (Text[End] == 'e' || Text[End] == 'E')) {
        i = End + 1 + (End + 1 < Text.size() && (Text[End + 1] == '+' || Text[End + 1] == '-'));
        const std::size_t ExponentEnd = SkipDigits(Text, i);
        if (ExponentEnd == i)
            return {};
        Plain += std::string(Text.substr(End, ExponentEnd - End));
        End = ExponentEnd;
    }
    return HasDigits && SkipBlanks(Text, End) == Text.size() ? Plain : std::string();
}

// The raising form of a Try conversion.
template <typename T>
T Converted(bool (*Try)(std::string_view, T&), std::string_view Text, const char* Kind) {
    T Value{};
    if (!Try(Text, Value))
        throw EConvertError("'" + std::string(Text) + "' is not a valid " + Kind + " value");
    return Value;
}

int CharacterCount(std::string_view Text) {
    int Count = 0;
    for (const char c : Text)
        Count += (c & 0xC0) != 0x80;
    return Count;
}

std::string FirstCharacters(std::string_view Text, int Count) {
    std::size_t End = 0;
    for (int Taken = 0; End < Text.size(); ++End) {
        if ((Text[End] & 0xC0) != 0x80 && Taken++ == Count)
            break;
    }
    return std::string(Text.substr(0, End));
}

} // namespace

std::string FormatFloat(std::string_view Pattern, double Value) {
    return FormatFixed(Value, ParsePattern(Pattern));
}

std::string FormatDecimals(double Value, int Decimals) {
    return FormatFloat(
        Decimals > 0 ? "0." + std::string(static_cast<std::size_t>(Decimals), '0') : "0", Value);
}

std::string FloatToStr(double Value) {
    if (!std::isfinite(Value))
        return NonFiniteText(Value);
    const TDecimalDigits Number = TDecimalDigits::FromDouble(Value);
    if (Number.IsZero())
        return "0";
    const std::string Sign = Number.Negative ? "-" : "";
    const std::string& Separator = FormatSettings().DecimalSeparator;
    const int Exponent = Number.PointPosition - 1;
    if (Number.PointPosition > 15 || Exponent < -5) {
        const std::string Rest = Number.Digits.substr(1);
        return Sign + Number.Digits[0] + (Rest.empty() ? "" : Separator + Rest) + "E" +
               std::to_string(Exponent);
    }
    const int Decimals = static_cast<int>(Number.Digits.size()) - Number.PointPosition;
    return Sign + Number.IntegerDigits(1) +
           (Decimals > 0 ? Separator + Number.FractionDigits(Decimals) : "");
}

bool TryStrToFloat(std::string_view Text, double& Value) {
    const std::string Plain = ToPlainNumber(Text);
    if (Plain.empty())
        return false;
    double Result = 0;
    const auto [End, Error] = std::from_chars(Plain.data(), Plain.data() + Plain.size(), Result);
    if (Error != std::errc() || End != Plain.data() + Plain.size() || !std::isfinite(Result))
        return false;
    Value = Result;
    return true;
}

double StrToFloat(std::string_view Text) {
    return Converted(TryStrToFloat, Text, "floating point");
}

bool TryStrToInt(std::string_view Text, int& Value) {
    std::size_t i = SkipBlanks(Text, 0);
    const bool Negative = i < Text.size() && Text[i] == '-';
    i += i < Text.size() && (Text[i] == '-' || Text[i] == '+');
    const bool Hexadecimal = Text.substr(i).starts_with("0x") || Text.substr(i).starts_with("0X");
    i += Hexadecimal ? 2 : 0;
    const std::size_t End = std::min(Text.find(' ', i), Text.size());
    std::uint64_t Magnitude = 0;
    const auto [Stop, Error] =
        std::from_chars(Text.data() + i, Text.data() + End, Magnitude, Hexadecimal ? 16 : 10);
    const std::uint64_t Limit =
        static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + (Negative ? 1 : 0);
    if (End == i || Error != std::errc() || Stop != Text.data() + End ||
        SkipBlanks(Text, End) != Text.size() || Magnitude > Limit)
        return false;
    Value = static_cast<int>(Negative ? -static_cast<std::int64_t>(Magnitude)
                                      : static_cast<std::int64_t>(Magnitude));
    return true;
}

int StrToInt(std::string_view Text) {
    return Converted(TryStrToInt, Text, "integer");
}

namespace {

struct TDirective {
    bool LeftAligned = false;
    int Width = 0;
    int Precision = -1;
    char Kind = 0;
};

std::size_t ReadNumber(std::string_view Pattern, std::size_t i, int& Number) {
    const std::size_t End = SkipDigits(Pattern, i);
    std::from_chars(Pattern.data() + i, Pattern.data() + End, Number);
    return End;
}

// Reads the directive that starts after a '%' at position i; returns the position after it.
std::size_t ReadDirective(std::string_view Pattern, std::size_t i, TDirective& Directive) {
    if (i < Pattern.size() && Pattern[i] == '-') {
        Directive.LeftAligned = true;
        ++i;
    }
    i = ReadNumber(Pattern, i, Directive.Width);
    if (i < Pattern.size() && Pattern[i] == '.')
        i = ReadNumber(Pattern, i + 1, Directive.Precision = 0);
    Directive.Kind = i < Pattern.size() ? Pattern[i] : 0;
    return i + 1;
}

std::string IntegerText(std::int64_t Value, const TDirective& Directive) {
    const std::uint64_t Magnitude =
        Value < 0 ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
    char Buffer[32];
    const auto End =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Magnitude, Directive.Kind == 'x' ? 16 : 10)
            .ptr;
    std::string Digits(Buffer, End);
    if (Directive.Kind == 'x')
        for (char& c : Digits)
            c = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    if (static_cast<int>(Digits.size()) < Directive.Precision)
        Digits.insert(0, Directive.Precision - Digits.size(), '0');
    return (Value < 0 ? "-" : "") + Digits;
}

std::string ArgumentText(const TFormatArg& Argument, const TDirective& Directive) {
    const auto& Value = Argument.Value();
    const auto* Integer = std::get_if<std::int64_t>(&Value);
    const auto* Real = std::get_if<double>(&Value);
    const auto* Text = std::get_if<std::string>(&Value);
    if ((Directive.Kind == 'd' || Directive.Kind == 'x') && Integer)
        return IntegerText(*Integer, Directive);
    if (Directive.Kind == 'f' && (Real || Integer)) {
        const int Decimals = Directive.Precision < 0 ? 2 : Directive.Precision;
        return FormatFixed(Real ? *Real : static_cast<double>(*Integer), {1, Decimals, Decimals});
    }
    if (Directive.Kind == 's' && Text)
        return Directive.Precision < 0 ? *Text : FirstCharacters(*Text, Directive.Precision);
    throw EConvertError("Format directive '%" + std::string(1, Directive.Kind) +
                        "' invalid or incompatible with argument");
}

std::string Padded(const std::string& Text, const TDirective& Directive) {
    const int Missing = Directive.Width - CharacterCount(Text);
    if (Missing <= 0)
        return Text;
    const std::string Blanks(Missing, ' ');
    return Directive.LeftAligned ? Text + Blanks : Blanks + Text;
}

} // namespace

std::string Format(std::string_view Pattern, std::initializer_list<TFormatArg> Args) {
    std::string Result;
    auto Next = Args.begin();
    for (std::size_t i = 0; i < Pattern.size();) {
        if (Pattern[i] != '%') {
            Result += Pattern[i++];
        } else if (i + 1 < Pattern.size() && Pattern[i + 1] == '%') {
            Result += '%';
            i += 2;
        } else {
            TDirective Directive;
            i = ReadDirective(Pattern, i + 1, Directive);
            if (Next == Args.end())
                throw EConvertError("Format \"" + std::string(Pattern) +
                                    "\" has more directives than arguments");
            Result += Padded(ArgumentText(*Next++, Directive), Directive);
        }
    }
    return Result;
}

} // namespace platform
