#include "foundation/number_text.h"

namespace snipora {

namespace {

// The "%u" reading with values up to (not including) `limit`.
std::optional<uint64_t> ReadBelow(std::string_view text, uint64_t limit) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  uint64_t value = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    const auto digit = static_cast<uint64_t>(text[i] - '0');
    if (value > (limit - 1 - digit) / 10) return std::nullopt;  // all-ones means "unreadable"
    value = value * 10 + digit;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<uint32_t> ReadUnsignedValue(std::string_view text) {
  const std::optional<uint64_t> value = ReadBelow(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<uint64_t> ReadUnsigned64Value(std::string_view text) {
  return ReadBelow(text, UINT64_MAX);
}

}  // namespace snipora
