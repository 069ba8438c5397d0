#pragma once

#include <cstdint>
#include <string>

#include "tests/support/test_support.h"

// FLAC files made at run time by the flac tool from WAVE files built here, and
// decoded back by it: an oracle nobody here wrote.
namespace snipora::test {

struct FlacShape {
  uint16_t bits;  // valid bits; the samples fill whole bytes
  uint16_t channels;
  uint32_t rate;
  uint64_t frames;
};

// A WAVE file of `shape`: a tone per channel under seeded noise, shifted up to
// fill whole bytes; WAVE_FORMAT_EXTENSIBLE (with the channels' usual speaker
// positions) for more than two channels or bits that are not whole bytes.
Bytes ToneWave(const FlacShape& shape, uint32_t seed);

// Encodes the WAVE file at wavePath with `flac` and the given options to
// flacPath; false (with the tool's words in `why`) when flac is missing or fails.
bool EncodeFlacFile(const std::string& wavePath, const std::string& flacPath, std::string& why,
                    const std::string& options = "");

// Encodes ToneWave(shape, seed) with `flac` and the given options to `path`;
// false (with the tool's words in `why`) when flac is missing or fails.
bool MakeFlac(const std::string& path, const FlacShape& shape, std::string& why,
              const std::string& options = "", uint32_t seed = 1);

// The sample bytes `flac -d` decodes from the file (the data chunk of its
// WAVE output); empty when it refuses the file.
Bytes FlacToolSamples(const std::string& path);

}  // namespace snipora::test
