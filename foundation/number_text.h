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

// A time typed as the window shows it, [[h:]m:]s[.f], in milliseconds: the
// fields after the first have one or two digits and stay below 60, the first
// any width, the fraction of a second one to three digits. Blanks around it
// are allowed; anything else is refused.
std::optional<uint64_t> ReadClockMilliseconds(std::string_view text);

// A time typed into a field of milliseconds: a whole number of milliseconds,
// or a time with at least one colon as ReadClockMilliseconds reads it
// ("1:23.500", "0:01:23.500").
std::optional<uint64_t> ReadMillisecondsText(std::string_view text);

}  // namespace snipora
