#include "foundation/number_text.h"

namespace snipora {

std::optional<uint32_t> ReadUnsignedValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  uint64_t value = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value >= 0xFFFFFFFFu) return std::nullopt;  // all-ones means "unreadable"
  }
  if (digits == 0) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace snipora
