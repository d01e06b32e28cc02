#pragma once

#include <string>
#include <string_view>

// Conversion between UTF-8 text and code points. A serial device may send any bytes, so decoding
// never fails: a byte that does not belong to a well-formed UTF-8 sequence becomes the code point
// U+DC00 + byte (U+DC80..U+DCFF), and encoding turns such a code point back into that byte.
// EncodeUtf8(DecodeUtf8(s)) == s holds for every byte string s.

std::u32string DecodeUtf8(std::string_view Text);

// Code points that UTF-8 cannot carry (other surrogates, values above U+10FFFF) become U+FFFD.
std::string EncodeUtf8(std::u32string_view Text);
