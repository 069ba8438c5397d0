#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ranges/labeled_range.h"

// The character encoding of a range list's text: UTF-8, or a legacy code
// page that the reader names (CUE sheets of Windows rippers are often in
// CP1251 or Shift_JIS). Whatever a reader returns is UTF-8.
namespace snipora::ranges {

// The text as UTF-8: as it is when it is UTF-8 (with or without a byte-order
// mark), else decoded from `encoding` (an iconv name such as CP1251 or
// SHIFT_JIS) when one is named. Otherwise refused in `read`, with the line of
// the first byte that cannot be read, and empty.
std::string ListTextAsUtf8(const std::string& text, const std::string& encoding,
                           RangeListRead& read);

// A label read from a file as UTF-8: as it is when it is UTF-8, else decoded
// from `encoding` when one is named and the label reads in it; else with each
// byte that is not UTF-8 replaced by U+FFFD, and `replaced` set.
std::string LabelAsUtf8(std::string_view label, const std::string& encoding, bool& replaced);

// Why `encoding` cannot be used: empty when it is empty or iconv knows it.
std::string EncodingProblem(const std::string& encoding);

// True for text (no control characters) that is not UTF-8 and does not
// claim to be (no UTF-8 byte-order mark): it can be read only in an encoding
// someone names.
bool NeedsEncoding(std::string_view text);

// For such a text: the legacy encodings (iconv names) it reads in without a
// fault, the likeliest first: CP932 (Shift_JIS as Windows writes it), then
// CP1251 and CP1252, Cyrillic first when most non-ASCII bytes stand next to
// another, as the letters of a Cyrillic word do.
std::vector<std::string> LegacyEncodingsOf(std::string_view text);

// Up to maxLines lines of UTF-8 text that hold a non-ASCII character: what
// shows whether a guessed encoding reads right.
std::vector<std::string> LinesBeyondAscii(std::string_view text, size_t maxLines);

}  // namespace snipora::ranges
