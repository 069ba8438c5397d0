#pragma once

#include <cstdint>
#include <optional>
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

// The container of an output file: plain RIFF, or RF64 ("RF64" form, a "ds64"
// chunk after "WAVE" holding the 64-bit sizes, every 32-bit size field that
// cannot hold its value set to 0xFFFFFFFF).
enum class WaveContainer { kRiff, kRf64 };

// When outputs are written as RF64: never (files of 4 GiB are refused), when
// a file would reach 4 GiB, or always.
enum class Rf64Policy { kNever, kAuto, kAlways };

// Bytes in front of the sample data of a file written for `format`: 46 for a
// tag-1 source (an 18-byte "fmt " chunk with extra size 0); for a float or
// extensible source its own "fmt " chunk and a "fact" chunk with the frame
// count; then `extraChunkBytes` of extra chunks and the "data" chunk header.
// RF64 adds the 36-byte "ds64" chunk after "WAVE".
uint32_t WaveHeaderSize(const SoundFormatInfo& format, uint32_t extraChunkBytes = 0,
                        WaveContainer container = WaveContainer::kRiff);

// True when a RIFF file of dataLength sample bytes (and the pad byte an odd
// length needs) behind that header stays below 4 GiB (its positions and size
// fields are 32-bit).
bool FitsInRiff(const SoundFormatInfo& format, uint64_t dataLength, uint32_t extraChunkBytes = 0);

// The container `policy` gives an output of dataLength sample bytes, or
// nothing when the policy forbids RF64 and the file would reach 4 GiB.
std::optional<WaveContainer> ContainerFor(Rf64Policy policy, const SoundFormatInfo& format,
                                          uint64_t dataLength, uint32_t extraChunkBytes = 0);

// Writes that header to a freshly opened output file. Failures show in
// file.HasWriteError().
void WriteWaveHeader(CSectorFile& file, const SoundFormatInfo& format, uint64_t dataLength,
                     const WaveExtraChunks& extraChunks = {},
                     WaveContainer container = WaveContainer::kRiff);

// After the last sample byte: the pad byte that follows data of an odd
// length (the RIFF size counts it). Failures show in file.HasWriteError().
void WriteDataPad(CSectorFile& file, uint64_t dataLength);

// After all data was written behind a WriteWaveHeader header for the same
// format, extra chunks and container: sets every length field (RIFF size,
// frame count, data length; for RF64 those of "ds64") in place, before Close.
void PatchWaveLengths(CSectorFile& file, const SoundFormatInfo& format, uint64_t dataLength,
                      uint32_t extraChunkBytes = 0, WaveContainer container = WaveContainer::kRiff);

// True when the closed file at path is exactly as long as its header states
// (the RIFF size, for RF64 the one in "ds64", plus the 8 bytes before it): a
// writer that left bytes out or wrote too many is caught before the file is
// kept.
bool WaveFileMatchesHeader(const std::string& path);

}  // namespace snipora
