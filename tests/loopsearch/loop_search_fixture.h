#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "loopsearch/loop_search.h"
#include "loopsearch/loop_search_host.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

// Test material for the loop search: 16-bit WAVE files written from sample
// values, their format records, and recording implementations of the
// search's result and progress interfaces.
namespace snipora::test {

using Samples = std::vector<int16_t>;

// Deterministic full-scale noise (xorshift), different for different seeds.
// It never holds -32768, which no band accepts, so a window of it always
// matches itself.
inline Samples Noise(size_t count, uint32_t seed) {
  Samples values(count);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& v : values) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    v = static_cast<int16_t>(state >> 16);
    if (v == -32768) v = -32767;
  }
  return values;
}

inline void PutLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A canonical 44-byte-header PCM file, or with `chunks` (whole chunks)
// between "fmt " and "data". `statedDataSize` (when not 0) is what the header
// claims, to imitate truncated files.
inline SoundFormatInfo WriteWave(const std::string& path, const Bytes& data, uint16_t channels,
                                 uint32_t sampleRate, uint16_t bitsPerSample,
                                 uint32_t statedDataSize = 0, const Bytes& chunks = {}) {
  const uint16_t blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
  const uint32_t dataSize = statedDataSize ? statedDataSize : static_cast<uint32_t>(data.size());
  Bytes file;
  file.insert(file.end(), {'R', 'I', 'F', 'F'});
  PutLe(file, static_cast<uint32_t>(36 + chunks.size()) + dataSize, 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(file, 16, 4);
  PutLe(file, 1, 2);
  PutLe(file, channels, 2);
  PutLe(file, sampleRate, 4);
  PutLe(file, sampleRate * blockAlign, 4);
  PutLe(file, blockAlign, 2);
  PutLe(file, bitsPerSample, 2);
  file.insert(file.end(), chunks.begin(), chunks.end());
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  PutLe(file, dataSize, 4);
  file.insert(file.end(), data.begin(), data.end());
  WriteFileBytes(path, file);

  SoundFormatInfo info;
  info.dataOffset = static_cast<int32_t>(44 + chunks.size());
  info.dataSize = dataSize;
  info.channels = static_cast<int16_t>(channels);
  info.sampleRate = sampleRate;
  info.formatBlock.formatTag = 1;
  info.formatBlock.channels = channels;
  info.formatBlock.samplesPerSec = sampleRate;
  info.formatBlock.avgBytesPerSec = sampleRate * blockAlign;
  info.formatBlock.blockAlign = blockAlign;
  info.formatBlock.bitsPerSample = bitsPerSample;
  info.lengthFrames = blockAlign ? dataSize / blockAlign : 0;
  return info;
}

inline Bytes SampleBytes(const Samples& values) {
  Bytes bytes(values.size() * 2);
  std::memcpy(bytes.data(), values.data(), bytes.size());  // little-endian host
  return bytes;
}

inline SoundFormatInfo WriteWave16(const std::string& path, const Samples& values,
                                   uint16_t channels, uint32_t sampleRate) {
  return WriteWave(path, SampleBytes(values), channels, sampleRate, 16);
}

// Noise with the stretch [from, from + length) copied to `to`.
inline Samples NoiseWithRepeat(size_t count, size_t from, size_t length, size_t to, uint32_t seed) {
  Samples values = Noise(count, seed);
  std::copy(values.begin() + from, values.begin() + from + length, values.begin() + to);
  return values;
}

struct RecordingResults : ILoopSearchResults {
  std::vector<std::string> texts;
  void ClearResults() override { texts.clear(); }
  void AddResult(const std::string& text) override { texts.push_back(text); }
};

// Records what the search shows; asks to stop after `cancelAfterPumps` pumps.
struct RecordingProgress : ILoopSearchProgress {
  int cancelAfterPumps = -1;  // never
  int pumps = 0;
  uint32_t range = 0;
  std::vector<uint32_t> positions;
  std::vector<std::string> texts;
  void SetRange(uint32_t total) override { range = total; }
  void SetPosition(uint32_t position) override { positions.push_back(position); }
  void SetText(const std::string& text) override { texts.push_back(text); }
  void Pump() override { ++pumps; }
  bool IsCancelled() const override { return cancelAfterPumps >= 0 && pumps > cancelAfterPumps; }
};

inline std::vector<std::string> Distances(std::initializer_list<uint64_t> bytes) {
  std::vector<std::string> texts;
  for (uint64_t b : bytes) texts.push_back(std::to_string(b));
  return texts;
}

// The main window as the loop detection dialog sees it.
struct FakeHost : ILoopSearchHost {
  bool marker1Set = false;
  bool marker2Set = false;
  uint32_t marker1 = 0;
  uint32_t marker2 = 0;
  uint32_t playerPosition = 0;
  int playerQueries = 0;
  std::string path;
  SoundFormatInfo info;
  ScriptedUi ui;

  bool IsMarker1Set() const override { return marker1Set; }
  bool IsMarker2Set() const override { return marker2Set; }
  uint64_t Marker1Position() const override { return marker1; }
  uint64_t Marker2Position() const override { return marker2; }
  uint64_t PlayerBytePosition() override {
    ++playerQueries;
    return playerPosition;
  }
  std::string OpenFilePath() const override { return path; }
  const SoundFormatInfo& FormatInfo() const override { return info; }
  IUiServices& Ui() override { return ui; }
};

}  // namespace snipora::test
