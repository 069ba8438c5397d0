#pragma once

#include <cstdint>
#include <string>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Size of the header WriteWaveHeader writes.
inline constexpr uint32_t kWaveHeaderSize = 46;

// Writes the 46-byte header (RIFF, an 18-byte "fmt " chunk with extra size 0
// and the "data" chunk header) to a freshly opened output file. Failures show
// in file.HasWriteError().
void WriteWaveHeader(CSectorFile& file, const WaveFormatBlock& format, uint32_t dataLength);

// After all data was written behind a WriteWaveHeader header: sets the RIFF
// size (offset 4) and data length (offset 42) in place, before Close.
void PatchWaveLengths(CSectorFile& file, uint32_t dataLength);

// True when the closed file at path is exactly as long as its RIFF header
// states (the RIFF size plus the 8 bytes before it): a writer that left bytes
// out or wrote too many is caught before the file is kept.
bool WaveFileMatchesHeader(const std::string& path);

}  // namespace snipora
