#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sound/test_sound_device.h"
#include "platform/sound/timer_host.h"
#include "playback/main_player.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora::test {

// Seeded 16-bit noise without the sample -32768, which the player clamps to -32767, so
// that played bytes can be compared with the source one for one.
inline Bytes Noise16(size_t bytes, uint32_t seed) {
  Bytes data = SeededBytes(bytes, seed);
  for (size_t i = 1; i < data.size(); i += 2) {
    if (data[i] == 0x80 && data[i - 1] == 0) data[i - 1] = 1;
  }
  return data;
}

inline std::vector<int16_t> BytesToSamples(const Bytes& bytes, size_t from = 0,
                                           size_t count = SIZE_MAX) {
  const size_t n = std::min(count, (bytes.size() - from) / 2);
  std::vector<int16_t> samples(n);
  std::memcpy(samples.data(), bytes.data() + from, n * 2);
  return samples;
}

// A main player on a test device and a manual timer host, recording notifications.
struct PlayerRig : IMainPlayerOwner {
  TestSoundDevice device;
  ManualTimerHost timers;
  CMainPlayer player{device};
  std::vector<int> notifications;
  bool bounded = false;
  int boundedEnded = 0;

  PlayerRig() {
    player.Attach(&timers, 1, 1);
    player.SetOwner(this);
    player.SetNotification(
        [](int code, CDSStreamPlayer*, void* context) {
          static_cast<PlayerRig*>(context)->notifications.push_back(code);
        },
        this);
  }

  bool IsBoundedPlaybackActive() const override { return bounded; }
  void EndBoundedPlayback() override {
    bounded = false;
    ++boundedEnded;
  }

  // Plays on: the cursor moves `step` bytes before each timer tick, `ticks` times or
  // until the player stops.
  void Run(uint32_t step, int ticks) {
    for (int i = 0; i < ticks && player.IsPlaying(); ++i) {
      device.MovePlayCursor(step);
      player.OnTimer();
    }
  }
};

}  // namespace snipora::test
