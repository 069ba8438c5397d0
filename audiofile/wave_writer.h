#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Size of the header WriteWaveHeader writes when no extra chunks are given.
inline constexpr uint32_t kWaveHeaderSize = 46;

// Whole chunks (identifier, size, body, pad byte when odd) written between
// the "fmt " chunk and the "data" chunk, e.g. a "smpl" chunk; usually empty.
using WaveExtraChunks = std::vector<uint8_t>;

// Writes the header (RIFF, an 18-byte "fmt " chunk with extra size 0, the
// extra chunks and the "data" chunk header; 46 bytes plus the extra chunks)
// to a freshly opened output file. Failures show in file.HasWriteError().
void WriteWaveHeader(CSectorFile& file, const WaveFormatBlock& format, uint32_t dataLength,
                     const WaveExtraChunks& extraChunks = {});

// After all data was written behind a WriteWaveHeader header with
// `extraChunkBytes` bytes of extra chunks: sets the RIFF size (offset 4) and
// the data length (before the samples) in place, before Close.
void PatchWaveLengths(CSectorFile& file, uint32_t dataLength, uint32_t extraChunkBytes = 0);

// True when the closed file at path is exactly as long as its RIFF header
// states (the RIFF size plus the 8 bytes before it): a writer that left bytes
// out or wrote too many is caught before the file is kept.
bool WaveFileMatchesHeader(const std::string& path);

}  // namespace snipora
