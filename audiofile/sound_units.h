#pragma once

#include <cstdint>

#include "audiofile/sound_format.h"

// Conversions between the three position units of the sample data: bytes,
// frames (bytes / block alignment) and milliseconds. Every product is taken
// in 64 bits; a zero rate or alignment gives 0 instead of dividing by zero.
namespace snipora {

// bytes * 1000 / avgBytesPerSec, truncated.
inline uint32_t BytesToMilliseconds(uint32_t bytes, uint32_t avgBytesPerSec) {
  return avgBytesPerSec ? static_cast<uint32_t>(uint64_t{bytes} * 1000 / avgBytesPerSec) : 0;
}

// frames * 1000 / sampleRate, truncated.
inline uint32_t FramesToMilliseconds(uint32_t frames, uint32_t sampleRate) {
  return sampleRate ? static_cast<uint32_t>(uint64_t{frames} * 1000 / sampleRate) : 0;
}

// avgBytesPerSec * ms / 1000 in 64 bits, not rounded to a frame.
inline uint64_t MillisecondsToByteCount(uint32_t ms, uint32_t avgBytesPerSec) {
  return uint64_t{avgBytesPerSec} * ms / 1000;
}

// Milliseconds -> bytes rounded down to a whole frame (alignment 0 leaves it
// unrounded), cut to 32 bits.
inline uint32_t MillisecondsToBytes(uint32_t ms, uint32_t avgBytesPerSec, uint32_t blockAlign) {
  const uint64_t bytes = MillisecondsToByteCount(ms, avgBytesPerSec);
  return static_cast<uint32_t>(blockAlign ? bytes - bytes % blockAlign : bytes);
}

// frames * blockAlign in 32 bits (positions of files below 4 GiB).
inline uint32_t FramesToBytes(uint32_t frames, uint32_t blockAlign) {
  return frames * blockAlign;
}

// frames * blockAlign in 64 bits, for sizes that may reach 4 GiB.
inline uint64_t FramesToByteCount(uint64_t frames, uint32_t blockAlign) {
  return frames * blockAlign;
}

inline uint32_t BytesToFrames(uint32_t bytes, uint32_t blockAlign) {
  return blockAlign ? bytes / blockAlign : 0;
}

// The same through a file's format record.
inline uint32_t BytesToFrames(const SoundFormatInfo& info, uint32_t bytes) {
  return BytesToFrames(bytes, info.formatBlock.blockAlign);
}
inline uint32_t FramesToBytes(const SoundFormatInfo& info, uint32_t frames) {
  return FramesToBytes(frames, info.formatBlock.blockAlign);
}
inline uint32_t BytesToMilliseconds(const SoundFormatInfo& info, uint32_t bytes) {
  return BytesToMilliseconds(bytes, info.formatBlock.avgBytesPerSec);
}
inline uint32_t FramesToMilliseconds(const SoundFormatInfo& info, uint32_t frames) {
  return FramesToMilliseconds(frames, info.formatBlock.samplesPerSec);
}

// Frames of sample data in the file: data size / block alignment.
inline uint32_t TotalFrames(const SoundFormatInfo& info) {
  return BytesToFrames(info, info.dataSize);
}

// Frames per second from the byte rate (avgBytesPerSec / blockAlign).
inline uint32_t FramesPerSecond(const SoundFormatInfo& info) {
  return BytesToFrames(info.formatBlock.avgBytesPerSec, info.formatBlock.blockAlign);
}

}  // namespace snipora
