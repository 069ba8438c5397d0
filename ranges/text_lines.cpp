#include "ranges/text_lines.h"
#include "ranges/messages.h"

#include <charconv>

#include "foundation/text_encoding.h"

namespace snipora::ranges {

std::vector<TextLine> SplitLines(std::string_view text, int* badLine) {
  *badLine = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<TextLine> lines;
  size_t begin = 0;
  int number = 1;
  while (begin < text.size()) {
    size_t end = begin;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
      const auto c = static_cast<unsigned char>(text[end]);
      if ((c < 0x20 && c != '\t') || c == 0x7F) {
        *badLine = number;
        return {};
      }
      ++end;
    }
    lines.push_back({number++, text.substr(begin, end - begin)});
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    begin = end + 1;
  }
  return lines;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<uint64_t> ParseFrameNumber(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string OneLineLabel(std::string_view label) {
  std::string line = ReplaceNonUtf8(label, "\uFFFD");
  for (char& c : line) {
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) c = ' ';
  }
  return line;
}

std::string NotTextMessage() {
  return Say(QT_TRANSLATE_NOOP("ranges", "not a text file (a control character)"));
}

}  // namespace snipora::ranges
