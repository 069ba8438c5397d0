#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_support.h"

// WAVE files built byte by byte, independently of the code under test: the
// little-endian writers, RIFF chunks, the "fmt " body and whole files.
namespace snipora::test {

void PutU16(Bytes& bytes, uint32_t value);
void PutU32(Bytes& bytes, uint32_t value);
void PutU64(Bytes& bytes, uint64_t value);
void PutText(Bytes& bytes, std::string_view text);

// A chunk as it appears in a file; pad adds the word-alignment byte after an
// odd-sized body.
Bytes RiffChunk(std::string_view id, const Bytes& body, bool pad = true);

// The 16 bytes of a "fmt " body (WAVEFORMAT plus bits per sample).
Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t align,
              uint16_t bits);

// The "fmt " body of plain PCM (tag 1) with its byte rate and alignment.
Bytes PcmFormatBody(uint16_t channels, uint32_t rate, uint16_t bits);

// A WAVE_FORMAT_EXTENSIBLE "fmt " body (40 bytes) with the given sub-format
// tag (1 PCM, 3 float) in the standard GUID.
Bytes ExtensibleFmtBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t validBits,
                        uint32_t channelMask, uint16_t subFormat);

// "RIFF" <size> "WAVE" followed by the chunks.
Bytes RiffWave(const std::vector<Bytes>& chunks);

// The 28-byte body of a "ds64" chunk: RIFF size, data size, sample count and
// an empty table.
Bytes Ds64ChunkBody(uint64_t riffSize, uint64_t dataSize, uint64_t sampleCount);

// `form` ("RF64", "BW64", or "RIFF" for a RIFF file with a "ds64" chunk)
// <0xFFFFFFFF> "WAVE", a "ds64" chunk stating dataSize (frames of
// blockAlign bytes), the chunks, and a "data" chunk header of size
// 0xFFFFFFFF; the sample bytes are not included.
Bytes Rf64Header(std::string_view form, uint64_t dataSize, uint16_t blockAlign,
                 const std::vector<Bytes>& chunks);

// Writes a sparse file at path: `header` then dataSize sample bytes that are
// zero except SeededBytes(4096, seed = offset) at each data offset in
// `seeded` (cut at the end of the data).
void WriteSparseWave(const std::string& path, const Bytes& header, uint64_t dataSize,
                     const std::vector<uint64_t>& seeded);

// A canonical PCM file: 44-byte header, then `data`.
Bytes MakeWave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data);

// 16-bit samples as the little-endian bytes of a file's data.
Bytes SamplesToBytes(const std::vector<int16_t>& samples);

// A "cue " chunk with a point at each frame (ids 1, 2, ...), in "data".
Bytes CueChunk(const std::vector<uint32_t>& frames);

// The body of the first chunk `id` of a RIFF file (empty when there is none).
Bytes ChunkBody(const Bytes& wave, const char* id);

// A chunk (id, body) and the chunks of a RIFF file or of a LIST body, in order.
using ChunkEntry = std::pair<std::string, Bytes>;
std::vector<ChunkEntry> Chunks(const Bytes& wave);
std::vector<ChunkEntry> ListEntries(const Bytes& listBody);
// The body of the first LIST chunk of `type` ("INFO", "adtl"); empty when none.
Bytes ListBody(const Bytes& wave, std::string_view type);

// A LIST chunk of `type` holding the entries as chunks.
Bytes ListChunk(std::string_view type, const std::vector<ChunkEntry>& entries);
// Text with its terminating zero byte, as INFO and adtl entries hold it.
Bytes ZeroTerminated(std::string_view text);
// A "labl" (or "note") body: the cue point's id and the zero-terminated text.
Bytes LabelBody(uint32_t cuePointId, std::string_view text);
// An "ltxt" body: the cue point's id, the region's length in frames, purpose
// "rgn ", no country, language, dialect or code page, and the text.
Bytes RegionBody(uint32_t cuePointId, uint32_t frames, std::string_view text);
// A "bext" chunk (602-byte body, version 1) with a description and the
// TimeReference (frames since midnight).
Bytes BextChunk(std::string_view description, uint64_t timeReference);
// The TimeReference of a "bext" body.
uint64_t BextTimeReference(const Bytes& bextBody);

// An iXML text stating the time reference in its BEXT and SPEED sections.
std::string IxmlText(uint64_t timeReference);

// What a field recorder writes beside "fmt " and "data", as chunks: "bext"
// and iXML with the time reference, LIST INFO (INAM "Take 7", IART "Crew"),
// cue points 1-4 at frames 100, 500, 900 and 1900 named in LIST adtl (1
// "Clap" by labl, 2 a 300-frame region "Line" by ltxt) and a smpl loop over
// frames 200-299.
std::vector<Bytes> RecorderChunks(uint64_t timeReference);

// Seeded sample bytes (see SeededBytes); with isFloat the samples are 32- or
// 64-bit floats in -1 ... 1 rather than arbitrary bit patterns.
Bytes SeededSamples(size_t bytes, unsigned sampleBytes, bool isFloat, uint32_t seed);

// Sample values as the data of a plain file: integers in their own units
// (8-bit ones stored around 128), or 32/64-bit floats with isFloat.
Bytes EncodeSamples(const std::vector<double>& samples, uint16_t bits, bool isFloat);

// A whole file of that data: plain PCM, IEEE float (tag 3), or with
// extensible the WAVE_FORMAT_EXTENSIBLE header of either.
Bytes PlainWave(uint16_t channels, uint32_t rate, uint16_t bits, bool isFloat, const Bytes& data,
                bool extensible = false);

}  // namespace snipora::test
