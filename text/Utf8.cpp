#include "text/Utf8.h"

namespace {

constexpr char32_t EscapeBase = 0xDC00;
constexpr char32_t FirstEscape = 0xDC80;
constexpr char32_t LastEscape = 0xDCFF;
constexpr char32_t Replacement = 0xFFFD;

// The shape of a sequence as told by its lead byte. The bounds of the second byte are what rules
// out overlong forms, surrogates and values above U+10FFFF.
struct TSequenceShape {
    std::size_t Length;
    unsigned char SecondLow;
    unsigned char SecondHigh;
};

constexpr TSequenceShape ShapeOf(unsigned char Lead) {
    if (Lead < 0x80) {
        return {1, 0, 0};
    }
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (Lead >= 0xE0 && Lead <= 0xEF) {
        return {3, static_cast<unsigned char>(Lead == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(Lead == 0xED ? 0x9F : 0xBF)};
    }
    if (Lead >= 0xF0 && Lead <= 0xF4) {
        return {4, static_cast<unsigned char>(Lead == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(Lead == 0xF4 ? 0x8F : 0xBF)};
    }
    return {0, 0, 0};
}

constexpr bool IsContinuation(unsigned char Byte) {
    return (Byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence that starts at Text[Pos], or 0 when none starts there.
std::size_t ValidSequenceLength(std::string_view Text, std::size_t Pos) {
    const TSequenceShape Shape = ShapeOf(static_cast<unsigned char>(Text[Pos]));
    if (Shape.Length <= 1) {
        return Shape.Length;
    }
    if (Text.size() - Pos < Shape.Length) {
        return 0;
    }
    const auto Second = static_cast<unsigned char>(Text[Pos + 1]);
    if (Second < Shape.SecondLow || Second > Shape.SecondHigh) {
        return 0;
    }
    for (std::size_t I = 2; I < Shape.Length; ++I) {
        if (!IsContinuation(static_cast<unsigned char>(Text[Pos + I]))) {
            return 0;
        }
    }
    return Shape.Length;
}

char32_t CodePointOf(std::string_view Sequence) {
    const auto Lead = static_cast<unsigned char>(Sequence[0]);
    if (Sequence.size() == 1) {
        return Lead;
    }
    char32_t Result = Lead & (0x7F >> Sequence.size());
    for (std::size_t I = 1; I < Sequence.size(); ++I) {
        Result = (Result << 6) | (static_cast<unsigned char>(Sequence[I]) & 0x3F);
    }
    return Result;
}

void AppendMultiByte(std::string& Out, char32_t C) {
    if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    }
    Out += static_cast<char>(0x80 | (C & 0x3F));
}

void AppendCodePoint(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C >= FirstEscape && C <= LastEscape) {
        Out += static_cast<char>(C - EscapeBase);
    } else if ((C >= 0xD800 && C <= 0xDFFF) || C > 0x10FFFF) {
        AppendMultiByte(Out, Replacement);
    } else {
        AppendMultiByte(Out, C);
    }
}

} // namespace

std::u32string DecodeUtf8(std::string_view Text) {
    std::u32string Result;
    Result.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        const std::size_t Length = ValidSequenceLength(Text, Pos);
        if (Length == 0) {
            Result += static_cast<char32_t>(EscapeBase + static_cast<unsigned char>(Text[Pos]));
            ++Pos;
        } else {
            Result += CodePointOf(Text.substr(Pos, Length));
            Pos += Length;
        }
    }
    return Result;
}

std::string EncodeUtf8(std::u32string_view Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (const char32_t C : Text) {
        AppendCodePoint(Result, C);
    }
    return Result;
}
