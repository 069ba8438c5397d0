#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound/sound_device.h"

namespace snipora {

// A sound device for tests: nothing plays by itself. The test moves the play cursor,
// and the bytes passed over while the buffer plays are recorded as "heard".
class TestSoundDevice : public ISoundDevice {
 public:
  bool CreateBuffer(const PcmFormat& format, uint32_t size) override;
  void ReleaseBuffer() override;
  uint32_t GetCurrentPosition() override { return cursor_; }
  void SetCurrentPosition(uint32_t offset) override;
  bool Lock(uint32_t offset, uint32_t bytes, LockedRegion& region) override;
  void Unlock(const LockedRegion& region) override;
  void Play() override;
  void Stop() override;
  int32_t SetVolume(int32_t hundredthsOfDecibel) override;
  uint32_t TakeAheadMs() const override { return takeAheadMs; }
  bool IsSilent() const override { return silent; }

  // Moves the play cursor on by `bytes` (wrapping); while playing, the bytes passed
  // over are appended to Heard(). Returns false when the buffer is not playing.
  bool MovePlayCursor(uint32_t bytes);

  const std::vector<uint8_t>& Heard() const { return heard_; }
  void ClearHeard() { heard_.clear(); }
  const std::vector<uint8_t>& Buffer() const { return buffer_; }
  bool HasBuffer() const { return !buffer_.empty(); }
  bool IsPlaying() const { return playing_; }
  const PcmFormat& Format() const { return format_; }
  int BuffersCreated() const { return buffersCreated_; }
  int32_t Volume() const { return volume_; }

  // SetVolume's result for a value outside -10000..0 (E_INVALIDARG).
  static constexpr int32_t kInvalidVolume = static_cast<int32_t>(0x80070057);

  // Failure injection.
  bool refuseCreate = false;
  bool refuseLock = false;
  int32_t volumeResult = 0;
  uint32_t takeAheadMs = 0;  // what the device claims to take ahead of its cursor
  bool silent = false;       // as a device without sound output reports itself

 private:
  PcmFormat format_;
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> heard_;
  uint32_t cursor_ = 0;
  bool playing_ = false;
  bool locked_ = false;
  int buffersCreated_ = 0;
  int32_t volume_ = 0;
};

}  // namespace snipora
