#pragma once

#include <cstdint>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Size of the header written for a tag-1 (PCM) source.
inline constexpr uint32_t kWaveHeaderSize = 46;

// Bytes in front of the sample data of a file written for `format`: 46 for a
// tag-1 source (an 18-byte "fmt " chunk with extra size 0); for a float or
// extensible source its own "fmt " chunk, a "fact" chunk with the frame count,
// and the "data" chunk header.
uint32_t WaveHeaderSize(const SoundFormatInfo& format);

// Writes that header to a freshly opened output file. Failures show in
// file.HasWriteError().
void WriteWaveHeader(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength);

// After all data was written behind a WriteWaveHeader header for the same
// format: sets every length field (RIFF size, frame count, data length) in
// place, before Close.
void PatchWaveLengths(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength);

}  // namespace snipora
