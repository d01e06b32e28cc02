#pragma once

// The text of a file to import: its bytes decoded, its lines and records, and its cells trimmed of
// their blanks. The parts of the import reader (app/Import*) share their names in the namespace
// importfile, apart from the rest of the program; files/UImportFile.h is what the program uses.
#include <string>
#include <string_view>
#include <vector>

namespace importfile {

using TFields = std::vector<std::string>;

// UTF-16 (the "Unicode text" of spreadsheets) becomes UTF-8, kept in Storage. Any other text
// stays as it is: the separators, digits and names that the reader looks for are ASCII, which
// UTF-8 and the single-byte encodings share.
std::string_view DecodedText(std::string_view Bytes, std::string& Storage);

// The character classes are inline, since every byte of a file passes them.
inline bool IsLineEnd(char C) {
    return C == '\n' || C == '\r';
}

inline bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Blanks, and the line ends that a quoted header cell may hold ("Speed\n(m/s)").
inline bool IsBlankChar(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

inline bool IsLetter(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') ||
           static_cast<unsigned char>(C) >= 0x80;
}

// The line that starts at Pos; Pos moves to the start of the next one.
std::string_view NextLine(std::string_view Text, std::size_t& Pos);

// Reads the record at Pos into Fields as spreadsheets write it: a field that starts with a double
// quote runs to the next lone quote, "" inside stands for one quote, and separators and line ends
// inside the quotes belong to the field. Pos moves past the record's line end.
void ReadRecord(std::string_view Text, std::size_t& Pos, char Separator, TFields& Fields);

std::string_view Trimmed(std::string_view Text);

bool IsBlank(const TFields& Fields);

bool AllDigits(std::string_view Text);

} // namespace importfile
