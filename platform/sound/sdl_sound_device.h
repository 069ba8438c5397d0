#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/sound/sound_device.h"

namespace snipora {

// The looping buffer played through an SDL2 audio device. SDL has no play cursor and no
// device volume, so the audio callback copies from the ring at an atomic cursor, counts
// what it has taken and applies the volume itself. Formats SDL cannot play are
// converted in the callback: packed 24-bit samples are widened to signed 32 bits
// (shifted up by 8), 64-bit float samples are rounded to 32-bit float.
class SdlSoundDevice : public ISoundDevice {
 public:
  // Expects the SDL audio subsystem to be initialised (see OpenSystemSoundDevice);
  // `silent` tells that it already runs on the dummy driver.
  SdlSoundDevice(bool ownsAudioSubsystem, bool silent);
  ~SdlSoundDevice() override;
  SdlSoundDevice(const SdlSoundDevice&) = delete;
  SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

  bool CreateBuffer(const PcmFormat& format, uint32_t size) override;
  void ReleaseBuffer() override;
  uint32_t GetCurrentPosition() override;
  void SetCurrentPosition(uint32_t offset) override;
  bool Lock(uint32_t offset, uint32_t bytes, LockedRegion& region) override;
  void Unlock(const LockedRegion& region) override;
  void Play() override;
  void Stop() override;
  int32_t SetVolume(int32_t hundredthsOfDecibel) override;
  // The device's own buffer as SDL obtained it.
  uint32_t TakeAheadMs() const override { return takeAheadMs_; }

  // True once the device had to fall back to the silent driver.
  bool IsSilent() const override { return silent_; }

 private:
  static void Callback(void* self, uint8_t* out, int length);
  void Render(uint8_t* out, uint32_t length);
  bool OpenDevice(const PcmFormat& format);

  bool ownsAudioSubsystem_;
  bool silent_ = false;
  uint32_t device_ = 0;
  PcmFormat format_;
  uint32_t takeAheadMs_ = 0;
  uint32_t ringSampleBytes_ = 0;    // bytes of one sample in the ring
  uint32_t deviceSampleBytes_ = 0;  // and as the device plays it
  uint8_t silenceByte_ = 0;
  std::vector<uint8_t> ring_;
  std::atomic<uint32_t> cursor_{0};
  std::atomic<bool> playing_{false};
  std::atomic<int32_t> gainQ15_{32768};  // linear volume factor, 32768 = unchanged
};

}  // namespace snipora
