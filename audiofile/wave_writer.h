#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Size of the header written for a tag-1 (PCM) source without extra chunks.
inline constexpr uint32_t kWaveHeaderSize = 46;

// Whole chunks (identifier, size, body, pad byte when odd) written in front of
// the "data" chunk, e.g. a "smpl" chunk; usually empty.
using WaveExtraChunks = std::vector<uint8_t>;

// Bytes in front of the sample data of a file written for `format`: 46 for a
// tag-1 source (an 18-byte "fmt " chunk with extra size 0); for a float or
// extensible source its own "fmt " chunk and a "fact" chunk with the frame
// count; then `extraChunkBytes` of extra chunks and the "data" chunk header.
uint32_t WaveHeaderSize(const SoundFormatInfo& format, uint32_t extraChunkBytes = 0);

// Writes that header to a freshly opened output file. Failures show in
// file.HasWriteError().
void WriteWaveHeader(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength,
                     const WaveExtraChunks& extraChunks = {});

// After all data was written behind a WriteWaveHeader header for the same
// format and extra chunks: sets every length field (RIFF size, frame count,
// data length) in place, before Close.
void PatchWaveLengths(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength,
                      uint32_t extraChunkBytes = 0);

// True when the closed file at path is exactly as long as its RIFF header
// states (the RIFF size plus the 8 bytes before it): a writer that left bytes
// out or wrote too many is caught before the file is kept.
bool WaveFileMatchesHeader(const std::string& path);

}  // namespace snipora
