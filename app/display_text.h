#pragma once

#include <QString>
#include <cstdint>

namespace snipora {

// A two-line display: milliseconds over samples, "%u\n%u".
inline QString TwoLineText(uint32_t milliseconds, uint32_t samples) {
  return QString::number(milliseconds) + QLatin1Char('\n') + QString::number(samples);
}

}  // namespace snipora
