#include "foundation/number_text.h"

#include <array>

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

// Milliseconds fit 64 bits with room: a day's worth of digits never comes close.
constexpr uint64_t kTimeLimit = UINT64_MAX / 4;

}  // namespace

std::optional<uint32_t> ReadUnsignedValue(std::string_view text) {
  const std::optional<uint64_t> value = ReadBelow(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<uint64_t> ReadUnsigned64Value(std::string_view text) {
  return ReadBelow(text, UINT64_MAX);
}

std::optional<uint64_t> ReadMillisecondsText(std::string_view text) {
  text = Trimmed(text);
  if (text.find(':') == std::string_view::npos) return DigitsBelow(text, kTimeLimit);

  // Seconds with their fraction after the last colon, then minutes, then hours.
  uint64_t fractionMs = 0;
  if (const size_t dot = text.find('.'); dot != std::string_view::npos) {
    const std::string_view fraction = text.substr(dot + 1);
    if (fraction.empty() || fraction.size() > 3) return std::nullopt;
    const std::optional<uint64_t> digits = DigitsBelow(fraction, 1000);
    if (!digits) return std::nullopt;
    fractionMs = *digits;
    for (size_t i = fraction.size(); i < 3; ++i) fractionMs *= 10;
    text = text.substr(0, dot);
  }
  std::array<uint64_t, 3> parts{};  // seconds, minutes, hours
  size_t count = 0;
  while (true) {
    const size_t colon = text.rfind(':');
    const std::string_view part = colon == std::string_view::npos ? text : text.substr(colon + 1);
    if (count == parts.size()) return std::nullopt;
    const bool leading = colon == std::string_view::npos;
    // Below the leading part every field has two digits and stays below 60.
    if (!leading && part.size() != 2) return std::nullopt;
    const std::optional<uint64_t> value = DigitsBelow(part, leading ? kTimeLimit / 3600000 : 60);
    if (!value) return std::nullopt;
    parts[count++] = *value;
    if (leading) break;
    text = text.substr(0, colon);
  }
  if (count < 2) return std::nullopt;
  return ((parts[2] * 60 + parts[1]) * 60 + parts[0]) * 1000 + fractionMs;
}

}  // namespace snipora
