#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace snipora {

// Reads an unsigned decimal number the way "%u" does: leading blanks are
// skipped, a '+' is allowed, reading stops at the first non-digit. Nothing
// when no digit can be read, when a '-' precedes the digits (a negative
// length or position is refused, not wrapped), or when the number does not
// fit below 4294967295.
std::optional<uint32_t> ReadUnsignedValue(std::string_view text);

// The same for frame positions, which may pass 32 bits: below UINT64_MAX.
std::optional<uint64_t> ReadUnsigned64Value(std::string_view text);

}  // namespace snipora
