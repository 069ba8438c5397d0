#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

// Numbers in the main window's texts: the two-line displays and the "%u"
// reading of typed values and list cells.
namespace snipora {

// A two-line display: milliseconds over samples, "%u\n%u".
inline QString TwoLineText(uint32_t milliseconds, uint32_t samples) {
  return QString::number(milliseconds) + QLatin1Char('\n') + QString::number(samples);
}

// Reads an unsigned decimal number the way "%u" does: leading blanks are
// skipped, a '+' is allowed, reading stops at the first non-digit. Nothing
// when no digit can be read, when a '-' precedes the digits, or when the
// number does not fit below 4294967295.
std::optional<uint32_t> ReadUnsignedValue(std::string_view text);

}  // namespace snipora
