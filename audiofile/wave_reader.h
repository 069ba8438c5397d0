#pragma once

#include <cstdint>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Fills info from a RIFF WAVE file open in file at position 0 and leaves the
// file at the first sample byte. 0 success; 2 not RIFF WAVE; 4 a chunk is cut
// short, no "data" chunk follows, or the block alignment or byte rate is 0;
// 7 the extra format bytes do not fit.
int ReadRiffWaveHeader(CSectorFile& file, SoundFormatInfo& info);

// Opens path in its own small CSectorFile and reads its header. 0 plain data;
// 1 cannot be opened; 3 a RIFF WAVE file whose data needs a decoder (info filled);
// otherwise the result of ReadRiffWaveHeader.
int ProbeWaveFile(const char* path, SoundFormatInfo& info);

// Byte count of sample data -> milliseconds at avgBytesPerSec (same value as
// bytes * 1000 / avgBytesPerSec in 64 bits). 0 when avgBytesPerSec is 0.
uint32_t BytesToMilliseconds(uint32_t bytes, uint32_t avgBytesPerSec);
// Frames -> milliseconds (64-bit product). 0 when sampleRate is 0.
uint32_t FramesToMilliseconds(uint32_t frames, uint32_t sampleRate);
// Milliseconds -> bytes: avgBytesPerSec * ms / 1000 in 64 bits, rounded down
// to a whole frame (blockAlign 0 leaves it unrounded).
uint32_t MillisecondsToBytes(uint32_t ms, uint32_t avgBytesPerSec, uint32_t blockAlign);
// Frames <-> bytes through the block alignment (0 alignment gives 0).
uint32_t FramesToBytes(uint32_t frames, uint32_t blockAlign);
uint32_t BytesToFrames(uint32_t bytes, uint32_t blockAlign);

}  // namespace snipora
