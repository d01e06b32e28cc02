#pragma once

#include "text/UAssocArray.h"

#include <string>
#include <string_view>
#include <vector>

// Text operations for semicolon-separated records and unit texts. Texts are UTF-8; positions are
// 1-based and count characters (code points), not bytes.

using TArrayOfString = std::vector<std::string>;

// Position of the first Delimiter at or after Start (positions below 1 count as 1), or the text
// length plus 1 when there is none. Quote awareness skips delimiters between an opening ' or " and
// the next ' or "; parenthesis awareness skips delimiters inside parentheses.
int FindDelimiter(const std::string& S, char32_t Delimiter, int Start, bool QuoteAware,
                  bool ParenthesisAware);

// The pieces between delimiters, always one more than there are delimiters; nothing is trimmed.
TArrayOfString SplitText(const std::string& S, char32_t Delimiter);

// Adds Names[i] -> i to Map for every name, appending; a duplicate name raises
// EAssocArrayException, leaving the names before it in the map.
void MapHeaderFields(const TArrayOfString& Names, TAssocArray& Map);
void MapHeader(const std::string& Header, TAssocArray& Map);

// The field of Record in the column that Map gives for Name. With a non-empty Default, an unknown
// name or a record too short gives Default. With an empty Default, an unknown name raises
// EAssocArrayException and a record too short gives the empty text.
std::string FieldByHeader(const std::string& Name, const TArrayOfString& Record,
                          const TAssocArray& Map, const std::string& Default = "");

// Text with every occurrence of From replaced by To, left to right; an empty From changes nothing.
std::string ReplaceAll(std::string Text, std::string_view From, std::string_view To);

// Replaces each character found in Source by the character at the same position of Target, or
// drops it when Target is too short.
std::string ReplaceChars(const std::string& S, const std::string& Source,
                         const std::string& Target);

// Upper-cases a-z and the accented lower-case letters of Czech, Slovak and German; every other
// character (digits, "/", "ß", upper-case letters) stays as it is.
std::string UpperCaseNational(const std::string& S);

// Text from a file for an error message: a line of another tool's file can be megabytes long, so
// a text of more than 40 bytes is cut to its first 40 or fewer, where a character begins, and
// "..." follows.
std::string QuotedStart(std::string_view Text);
