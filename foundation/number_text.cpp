#include "foundation/number_text.h"

namespace snipora {

namespace {

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits only, up to (not including) `limit`; nothing for any other text.
std::optional<uint64_t> DigitsBelow(std::string_view digits, uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (value > (limit - 1 - digit) / 10) return std::nullopt;  // all-ones means "unreadable"
    value = value * 10 + digit;
  }
  return value;
}

std::optional<uint64_t> ReadBelow(std::string_view text, uint64_t limit) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return DigitsBelow(text, limit);
}

// Any field of a time stays far below what would wrap when it is turned into
// milliseconds.
constexpr uint64_t kClockLimit = 1000000000000;

}  // namespace

std::optional<uint32_t> ReadUnsignedValue(std::string_view text) {
  const std::optional<uint64_t> value = ReadBelow(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<uint64_t> ReadUnsigned64Value(std::string_view text) {
  return ReadBelow(text, UINT64_MAX);
}

std::optional<uint64_t> ReadClockMilliseconds(std::string_view text) {
  text = Trimmed(text);
  uint64_t ms = 0;
  if (const size_t dot = text.find('.'); dot != std::string_view::npos) {
    const std::string_view fraction = text.substr(dot + 1);
    const std::optional<uint64_t> digits =
        fraction.size() <= 3 ? DigitsBelow(fraction, 1000) : std::nullopt;
    if (!digits) return std::nullopt;
    ms = *digits * (fraction.size() == 1 ? 100 : fraction.size() == 2 ? 10 : 1);
    text = text.substr(0, dot);
  }
  // Seconds, then minutes, then hours from the right; the leftmost of any width.
  uint64_t seconds = 0;
  for (const uint64_t unit : {1, 60, 3600}) {
    const size_t colon = text.rfind(':');
    const bool leading = colon == std::string_view::npos;
    const std::string_view part = leading ? text : text.substr(colon + 1);
    const std::optional<uint64_t> value = leading            ? DigitsBelow(part, kClockLimit)
                                          : part.size() <= 2 ? DigitsBelow(part, 60)
                                                             : std::nullopt;
    if (!value) return std::nullopt;
    seconds += *value * unit;
    if (leading) return seconds * 1000 + ms;
    text = text.substr(0, colon);
  }
  return std::nullopt;  // more than three fields
}

std::optional<uint64_t> ReadMillisecondsText(std::string_view text) {
  text = Trimmed(text);
  if (text.find(':') == std::string_view::npos) return DigitsBelow(text, kClockLimit);
  return ReadClockMilliseconds(text);
}

}  // namespace snipora
