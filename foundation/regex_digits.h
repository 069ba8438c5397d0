#pragma once

#include <cstdint>

// Decimal numbers in patterns and replacement templates.
namespace snipora::regex_internal {

inline bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Reads the digits at p and moves p past them, saturating at INT32_MAX
// instead of overflowing.
inline int32_t ReadNumber(const unsigned char*& p) {
  int64_t value = 0;
  while (IsDigit(*p)) {
    value = value * 10 + (*p - '0');
    if (value > INT32_MAX) value = INT32_MAX;
    ++p;
  }
  return static_cast<int32_t>(value);
}

}  // namespace snipora::regex_internal
