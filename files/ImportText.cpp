#include "files/ImportText.h"

#include "text/Utf8.h"

#include <algorithm>

namespace importfile {
namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

char32_t Utf16Unit(std::string_view Bytes, std::size_t At, bool BigEndian) {
    const auto First = static_cast<unsigned char>(Bytes[At]);
    const auto Second = static_cast<unsigned char>(Bytes[At + 1]);
    return BigEndian ? (First << 8 | Second) : (Second << 8 | First);
}

bool IsSurrogate(char32_t Unit, char32_t First) {
    return Unit >= First && Unit <= First + 0x3FF;
}

// A surrogate without its partner becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view Bytes, bool BigEndian) {
    std::u32string Text;
    Text.reserve(Bytes.size() / 2);
    for (std::size_t At = 0; At + 1 < Bytes.size(); At += 2) {
        char32_t Unit = Utf16Unit(Bytes, At, BigEndian);
        const char32_t Next = At + 3 < Bytes.size() ? Utf16Unit(Bytes, At + 2, BigEndian) : 0;
        if (IsSurrogate(Unit, 0xD800) && IsSurrogate(Next, 0xDC00)) {
            Unit = 0x10000 + ((Unit - 0xD800) << 10) + (Next - 0xDC00);
            At += 2;
        } else if (IsSurrogate(Unit, 0xD800) || IsSurrogate(Unit, 0xDC00)) {
            Unit = 0xFFFD;
        }
        Text += Unit;
    }
    return EncodeUtf8(Text);
}

// Moves Pos past one line end: LF, CR or CR LF. The CRs before an LF all belong to it, since a
// file whose CR LF line ends were converted once more ends its lines with CR CR LF; those of a
// run without an LF stand for one line end and a blank line, which is all a blank line tells.
void SkipLineEnd(std::string_view Text, std::size_t& Pos) {
    const std::size_t Crs = std::min(Text.find_first_not_of('\r', Pos), Text.size());
    if (Crs < Text.size() && Text[Crs] == '\n')
        Pos = Crs + 1;
    else if (Crs > Pos)
        Pos = std::max(Pos + 1, Crs - 1);
}

// More columns than any chronograph or spreadsheet writes. The fields past them are read over and
// dropped, so that a line of nothing but separators cannot fill the memory.
constexpr std::size_t MaxColumns = 1024;

// Lambdas rather than function pointers, so that the searches of every cell are inlined.
constexpr auto Blank = [](char C) { return IsBlankChar(C); };
constexpr auto Digit = [](char C) { return IsDigit(C); };

} // namespace

std::string_view DecodedText(std::string_view Bytes, std::string& Storage) {
    if (Bytes.starts_with(Utf16LeMark))
        return Storage = Utf16ToUtf8(Bytes.substr(Utf16LeMark.size()), false);
    if (Bytes.starts_with(Utf16BeMark))
        return Storage = Utf16ToUtf8(Bytes.substr(Utf16BeMark.size()), true);
    if (Bytes.starts_with(Utf8Mark))
        Bytes.remove_prefix(Utf8Mark.size());
    return Bytes;
}

std::string_view NextLine(std::string_view Text, std::size_t& Pos) {
    const std::size_t Start = Pos;
    Pos = std::min(Text.find_first_of("\r\n", Start), Text.size());
    const std::string_view Line = Text.substr(Start, Pos - Start);
    SkipLineEnd(Text, Pos);
    return Line;
}

void ReadRecord(std::string_view Text, std::size_t& Pos, char Separator, TFields& Fields) {
    Fields.assign(1, std::string());
    std::string Dropped;
    bool Quoted = false;
    for (; Pos < Text.size(); ++Pos) {
        const char C = Text[Pos];
        std::string& Field = Fields.size() < MaxColumns ? Fields.back() : Dropped;
        if (Quoted && C == '"' && Pos + 1 < Text.size() && Text[Pos + 1] == '"')
            Field += Text[Pos++];
        else if (C == '"' && (Quoted || Field.empty()))
            Quoted = !Quoted;
        else if (!Quoted && C == Separator && Fields.size() < MaxColumns)
            Fields.emplace_back();
        else if (!Quoted && C == Separator)
            Dropped.clear();
        else if (!Quoted && IsLineEnd(C))
            break;
        else
            Field += C;
    }
    SkipLineEnd(Text, Pos);
}

std::string_view Trimmed(std::string_view Text) {
    const auto Start = std::find_if_not(Text.begin(), Text.end(), Blank);
    const auto End = std::find_if_not(Text.rbegin(), Text.rend(), Blank).base();
    return Start < End ? std::string_view(Start, End) : std::string_view();
}

bool IsBlank(const TFields& Fields) {
    return std::all_of(Fields.begin(), Fields.end(),
                       [](const std::string& Field) { return Trimmed(Field).empty(); });
}

bool AllDigits(std::string_view Text) {
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), Digit);
}

} // namespace importfile
