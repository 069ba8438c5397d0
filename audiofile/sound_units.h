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

// frames * 1000 / sampleRate, truncated.
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
