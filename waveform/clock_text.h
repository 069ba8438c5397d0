#pragma once

#include <cstdint>
#include <string>

namespace snipora {

// A frame position as "h:mm:ss.mmm" (hours unbounded, milliseconds rounded
// down as the millisecond displays do). "0:00:00.000" for a rate of 0.
std::string ClockText(uint64_t frame, uint32_t sampleRate);

}  // namespace snipora
