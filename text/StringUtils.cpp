#include "text/StringUtils.h"

#include "text/Utf8.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr char32_t HeaderDelimiter = U';';
constexpr std::size_t QuotedTextLimit = 40;

// The national alphabet pair, letter for letter.
constexpr std::u32string_view LowerNational = U"aáäbcčdďeéěëfghiíjklĺľmnňoóöpqrřsštťuúůüvwxyýzž";
constexpr std::u32string_view UpperNational = U"AÁÄBCČDĎEÉĚËFGHIÍJKLĹĽMNŇOÓÖPQRŘSŠTŤUÚŮÜVWXYÝZŽ";

// Tracks quotes and parenthesis depth while scanning for a delimiter.
struct TNesting {
    bool QuoteOpen = false;
    int Depth = 0;

    bool IsOutside() const { return !QuoteOpen && Depth == 0; }

    void Pass(char32_t C, bool QuoteAware, bool ParenthesisAware) {
        if (QuoteAware && (C == U'\'' || C == U'"')) {
            QuoteOpen = !QuoteOpen;
        }
        if (ParenthesisAware && C == U'(') {
            ++Depth;
        } else if (ParenthesisAware && C == U')' && Depth > 0) {
            --Depth;
        }
    }
};

// 0-based index of the first delimiter at or after Start, or Text.size() when there is none
// (Start itself when it lies beyond the end). Works on decoded text so that a split decodes once.
std::size_t FindDelimiterIn(std::u32string_view Text, char32_t Delimiter, std::size_t Start,
                            bool QuoteAware, bool ParenthesisAware) {
    TNesting Nesting;
    std::size_t Pos = Start;
    for (; Pos < Text.size(); ++Pos) {
        if (Text[Pos] == Delimiter && Nesting.IsOutside()) {
            break;
        }
        Nesting.Pass(Text[Pos], QuoteAware, ParenthesisAware);
    }
    return Pos;
}

std::u32string ReplaceCodePoints(std::u32string_view Text, std::u32string_view Source,
                                 std::u32string_view Target) {
    std::u32string Result;
    Result.reserve(Text.size());
    for (const char32_t C : Text) {
        const std::size_t Found = Source.find(C);
        if (Found == std::u32string_view::npos) {
            Result += C;
        } else if (Found < Target.size()) {
            Result += Target[Found];
        }
    }
    return Result;
}

std::int64_t ColumnOf(const std::string& Name, const TVariant& Value) {
    const auto* Column = std::get_if<std::int64_t>(&Value);
    if (Column == nullptr) {
        throw EAssocArrayException("Header field [" + Name + "] has no column number.");
    }
    return *Column;
}

const std::string& FieldAt(const TArrayOfString& Record, std::int64_t Column,
                           const std::string& Fallback) {
    if (Column < 0 || static_cast<std::uint64_t>(Column) >= Record.size()) {
        return Fallback;
    }
    return Record[static_cast<std::size_t>(Column)];
}

} // namespace

int FindDelimiter(const std::string& S, char32_t Delimiter, int Start, bool QuoteAware,
                  bool ParenthesisAware) {
    const std::size_t From = Start < 1 ? 0 : static_cast<std::size_t>(Start) - 1;
    return static_cast<int>(
               FindDelimiterIn(DecodeUtf8(S), Delimiter, From, QuoteAware, ParenthesisAware)) +
           1;
}

TArrayOfString SplitText(const std::string& S, char32_t Delimiter) {
    const std::u32string Text = DecodeUtf8(S);
    const std::u32string_view View = Text;
    TArrayOfString Result;
    std::size_t Start = 0;
    std::size_t End = 0;
    do {
        End = FindDelimiterIn(View, Delimiter, Start, false, false);
        Result.push_back(EncodeUtf8(View.substr(Start, End - Start)));
        Start = End + 1;
    } while (End < View.size());
    return Result;
}

void MapHeaderFields(const TArrayOfString& Names, TAssocArray& Map) {
    for (std::size_t I = 0; I < Names.size(); ++I) {
        Map.Add(static_cast<std::int64_t>(I), Names[I]);
    }
}

void MapHeader(const std::string& Header, TAssocArray& Map) {
    MapHeaderFields(SplitText(Header, HeaderDelimiter), Map);
}

std::string FieldByHeader(const std::string& Name, const TArrayOfString& Record,
                          const TAssocArray& Map, const std::string& Default) {
    if (Default.empty()) {
        return FieldAt(Record, ColumnOf(Name, Map.GetValue(Name)), Default);
    }
    const TVariant Value = Map.FindValue(Name);
    if (std::holds_alternative<std::monostate>(Value)) {
        return Default;
    }
    return FieldAt(Record, ColumnOf(Name, Value), Default);
}

std::string ReplaceChars(const std::string& S, const std::string& Source,
                         const std::string& Target) {
    return EncodeUtf8(ReplaceCodePoints(DecodeUtf8(S), DecodeUtf8(Source), DecodeUtf8(Target)));
}

std::string UpperCaseNational(const std::string& S) {
    // A unit from the chronograph or the library is plain ASCII a million times over: the
    // national letters need the decoding only where there are any.
    if (std::all_of(S.begin(), S.end(),
                    [](char C) { return static_cast<unsigned char>(C) < 0x80; })) {
        std::string Upper = S;
        for (char& C : Upper)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        return Upper;
    }
    return EncodeUtf8(ReplaceCodePoints(DecodeUtf8(S), LowerNational, UpperNational));
}

std::string ReplaceAll(std::string Text, std::string_view From, std::string_view To) {
    if (From.empty() || From == To)
        return Text;
    for (std::size_t At = Text.find(From); At != std::string::npos;
         At = Text.find(From, At + To.size()))
        Text.replace(At, From.size(), To);
    return Text;
}

std::string QuotedStart(std::string_view Text) {
    if (Text.size() <= QuotedTextLimit)
        return std::string(Text);
    std::size_t End = QuotedTextLimit;
    while (End > 0 && (static_cast<unsigned char>(Text[End]) & 0xC0) == 0x80)
        --End;
    return std::string(Text.substr(0, End)) + "...";
}
