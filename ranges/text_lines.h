#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Line handling shared by the text readers of range lists.
namespace snipora::ranges {

struct TextLine {
  int number = 0;         // from 1
  std::string_view text;  // without its line break ("\n", "\r\n" or "\r")
};

// Splits text into lines, after a UTF-8 byte-order mark if there is one.
// Text holding a NUL or another control character than tab is not a text
// file: then nothing is returned and *badLine is the line it is on.
std::vector<TextLine> SplitLines(std::string_view text, int* badLine);

// text without blanks (spaces, tabs) at either end.
std::string_view Trimmed(std::string_view text);

// A decimal number of digits only; nothing when empty, malformed or beyond 64 bits.
std::optional<uint64_t> ParseFrameNumber(std::string_view text);

// A label as one line of UTF-8 text: line breaks and other control
// characters than tab become spaces, bytes that are not UTF-8 U+FFFD.
std::string OneLineLabel(std::string_view label);

// The message of a text that is not text.
std::string NotTextMessage();

}  // namespace snipora::ranges
