// Opening a sparse 6 GiB RF64 file: the header is read and the 64-bit sizes
// taken from "ds64" without scanning the sample data; the player's open reads
// only its first seconds and three level probes. Goal: under 50 ms each, the
// page cache dropped before the first open.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "audiofile/rf64_sizes.h"
#include "audiofile/wave_reader.h"
#include "bench/support/scratch_file.h"
#include "platform/sound/test_sound_device.h"
#include "platform/sound/timer_host.h"
#include "playback/main_player.h"

namespace {

constexpr uint64_t kDataSize = uint64_t{6} << 30;

void Put(std::ofstream& out, const void* bytes, size_t n) {
  out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(n));
}

void PutU32(std::ofstream& out, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Put(out, bytes, 4);
}

// RF64, ds64, a 16-byte "fmt " of 24-bit stereo at 96 kHz, then 6 GiB of
// data of which only the last byte is written.
const snipora::bench::ScratchFile& File() {
  static const snipora::bench::ScratchFile file("snipora-open-large.wav", [](std::ofstream& out) {
    constexpr uint32_t kHeader = 12 + 36 + 24 + 8;
    Put(out, "RF64", 4);
    PutU32(out, snipora::kSizeInDs64);
    Put(out, "WAVEds64", 8);
    PutU32(out, snipora::kDs64BodySize);
    uint8_t ds64[snipora::kDs64BodySize];
    snipora::Ds64Body({kHeader - 8 + kDataSize, kDataSize, kDataSize / 6}, ds64);
    Put(out, ds64, sizeof ds64);
    Put(out, "fmt ", 4);
    PutU32(out, 16);
    const uint8_t fmt[16] = {1, 0, 2, 0, 0x00, 0x77, 0x01, 0, 0x00, 0xCA, 0x08, 0, 6, 0, 24, 0};
    Put(out, fmt, sizeof fmt);
    Put(out, "data", 4);
    PutU32(out, snipora::kSizeInDs64);
    out.seekp(static_cast<std::streamoff>(kHeader + kDataSize - 1));
    Put(out, "", 1);
  });
  return file;
}

void BM_OpenSixGiBRf64(benchmark::State& state) {
  const std::string& path = File().path();
  for (auto _ : state) {
    snipora::SoundFormatInfo info;
    if (snipora::ProbeWaveFile(path.c_str(), info) != 0 || info.dataSize != kDataSize) {
      state.SkipWithError("not read as a 6 GiB RF64 file");
      return;
    }
    benchmark::DoNotOptimize(info.lengthFrames);
  }
}

void BM_PlayerOpensSixGiBRf64(benchmark::State& state) {
  const std::string& path = File().path();
  snipora::TestSoundDevice device;
  snipora::ManualTimerHost timers;
  snipora::CMainPlayer player(device);
  player.Attach(&timers, 1, 1);
  for (auto _ : state) {
    if (player.Open(path.c_str()) != 0 || player.FileInfo().dataSize != kDataSize) {
      state.SkipWithError("the player did not open the 6 GiB RF64 file");
      return;
    }
    player.Close();
  }
}

BENCHMARK(BM_OpenSixGiBRf64)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerOpensSixGiBRf64)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
