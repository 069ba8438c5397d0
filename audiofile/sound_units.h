#pragma once

#include <cstdint>

#include "audiofile/sound_format.h"

// Conversions between the three position units of the sample data: bytes,
// frames (bytes / block alignment) and milliseconds. Byte and frame positions
// are 64-bit (RF64 files pass 4 GiB); milliseconds stay 32-bit (49 days).
// Every product is taken in 64 bits; a zero rate or alignment gives 0 instead
// of dividing by zero.
namespace snipora {

// bytes * 1000 / avgBytesPerSec, truncated.
inline uint32_t BytesToMilliseconds(uint64_t bytes, uint32_t avgBytesPerSec) {
  if (avgBytesPerSec == 0) return 0;
  // Split so that the product stays in 64 bits for any byte position.
  return static_cast<uint32_t>(bytes / avgBytesPerSec * 1000 +
                               bytes % avgBytesPerSec * 1000 / avgBytesPerSec);
}

// frames * 1000 / sampleRate, truncated: a duration (positions show
// MillisecondOfFrame).
inline uint32_t FramesToMilliseconds(uint64_t frames, uint32_t sampleRate) {
  return BytesToMilliseconds(frames, sampleRate);
}

// avgBytesPerSec * ms / 1000 in 64 bits, not rounded to a frame.
inline uint64_t MillisecondsToByteCount(uint32_t ms, uint32_t avgBytesPerSec) {
  return uint64_t{avgBytesPerSec} * ms / 1000;
}

// Milliseconds -> bytes rounded down to a whole frame (alignment 0 leaves it
// unrounded).
inline uint64_t MillisecondsToBytes(uint32_t ms, uint32_t avgBytesPerSec, uint32_t blockAlign) {
  const uint64_t bytes = MillisecondsToByteCount(ms, avgBytesPerSec);
  return blockAlign ? bytes - bytes % blockAlign : bytes;
}

// The one rule from a time to a position: the frame at or before the exact
// time `ms` (steps, the jump dialog, markers, typed cells, --ms); saturates.
inline uint64_t MillisecondsToFrames(uint64_t ms, uint32_t sampleRate) {
  const unsigned __int128 frames = static_cast<unsigned __int128>(ms) * sampleRate / 1000;
  return frames > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(frames);
}

// Its inverse, the millisecond a position shows: the last whole millisecond
// whose frame (MillisecondsToFrames) is at or before `frame`, so that a time
// stepped or typed to reads back as itself. Where a millisecond is a whole
// number of frames (48 kHz) it is the time of the frame, truncated.
inline uint64_t MillisecondOfFrame(uint64_t frame, uint32_t sampleRate) {
  if (sampleRate == 0) return 0;
  const unsigned __int128 ms =
      ((static_cast<unsigned __int128>(frame) + 1) * 1000 - 1) / sampleRate;
  return ms > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(ms);
}

inline uint64_t FramesToBytes(uint64_t frames, uint32_t blockAlign) {
  return frames * blockAlign;
}

inline uint64_t BytesToFrames(uint64_t bytes, uint32_t blockAlign) {
  return blockAlign ? bytes / blockAlign : 0;
}

// The same through a file's format record.
inline uint64_t BytesToFrames(const SoundFormatInfo& info, uint64_t bytes) {
  return BytesToFrames(bytes, info.formatBlock.blockAlign);
}
inline uint64_t FramesToBytes(const SoundFormatInfo& info, uint64_t frames) {
  return FramesToBytes(frames, info.formatBlock.blockAlign);
}
inline uint32_t BytesToMilliseconds(const SoundFormatInfo& info, uint64_t bytes) {
  return BytesToMilliseconds(bytes, info.formatBlock.avgBytesPerSec);
}
inline uint32_t FramesToMilliseconds(const SoundFormatInfo& info, uint64_t frames) {
  return FramesToMilliseconds(frames, info.formatBlock.samplesPerSec);
}

// Frames of sample data in the file: data size / block alignment.
inline uint64_t TotalFrames(const SoundFormatInfo& info) {
  return BytesToFrames(info, info.dataSize);
}

// Frames per second from the byte rate (avgBytesPerSec / blockAlign).
inline uint32_t FramesPerSecond(const SoundFormatInfo& info) {
  return static_cast<uint32_t>(
      BytesToFrames(info.formatBlock.avgBytesPerSec, info.formatBlock.blockAlign));
}

}  // namespace snipora
