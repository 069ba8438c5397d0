#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace snipora {

// Reads a typed unsigned decimal number: blanks around it are allowed, a '+'
// before it too. Nothing when no digit can be read, when anything else
// follows the digits ("1.5", "12abc", "1 000": a number is taken whole or not
// at all), when a '-' precedes the digits (a negative length or position is
// refused, not wrapped), or when the number does not fit below 4294967295.
std::optional<uint32_t> ReadUnsignedValue(std::string_view text);

// The same for frame positions, which may pass 32 bits: below UINT64_MAX.
std::optional<uint64_t> ReadUnsigned64Value(std::string_view text);

// A time in milliseconds as typed: a plain number of milliseconds, or the
// form the window shows, "h:mm:ss.mmm" or "m:ss.mmm" (hours and minutes of
// any width, minutes and seconds below 60 with two digits after a colon, the
// fraction of a second optional with one to three digits). Blanks around it
// are allowed; anything else is refused.
std::optional<uint64_t> ReadMillisecondsText(std::string_view text);

}  // namespace snipora
