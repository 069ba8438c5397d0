#pragma once

#include <cstdint>
#include <string>

namespace snipora {

// A number of milliseconds as "h:mm:ss.mmm" (hours unbounded).
std::string MillisecondsClockText(uint64_t ms);

// A frame position as "h:mm:ss.mmm": the millisecond the position displays
// show (MillisecondOfFrame). "0:00:00.000" for a rate of 0.
std::string ClockText(uint64_t frame, uint32_t sampleRate);

}  // namespace snipora
