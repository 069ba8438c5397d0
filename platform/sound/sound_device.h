#pragma once

#include <cstdint>
#include <memory>

namespace snipora {

// Sample layout of the sound buffer. Kept free of the file layer's types so that the
// platform layer does not depend on them.
struct PcmFormat {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint16_t blockAlign = 0;
  uint32_t bytesPerSecond = 0;
  bool isFloat = false;  // IEEE float samples (32 or 64 bits), else integers

  bool operator==(const PcmFormat&) const = default;
};

// The most channels a sound device plays.
inline constexpr uint16_t kMaxDeviceChannels = 8;

// One region of the looping buffer handed out for writing: up to two pieces when the
// region wraps past the end of the buffer.
struct LockedRegion {
  uint8_t* first = nullptr;
  uint32_t firstLength = 0;
  uint8_t* second = nullptr;
  uint32_t secondLength = 0;
};

// The one looping output buffer the player streams into. The device plays the buffer
// on its own from the play cursor onwards and wraps round at its end; the player
// writes ahead of the cursor between Lock and Unlock.
class ISoundDevice {
 public:
  virtual ~ISoundDevice() = default;

  // Replaces any previous buffer by a silent one of `size` bytes in `format`, stopped,
  // play cursor 0. False when the device cannot play the format. Every device plays
  // 1 to kMaxDeviceChannels channels of 8-, 16-, 24- and 32-bit integer and 32- and
  // 64-bit float samples.
  virtual bool CreateBuffer(const PcmFormat& format, uint32_t size) = 0;
  // Drops the buffer; the other operations then do nothing.
  virtual void ReleaseBuffer() = 0;
  // Offset of the next byte the device will take, 0..size-1.
  virtual uint32_t GetCurrentPosition() = 0;
  virtual void SetCurrentPosition(uint32_t offset) = 0;
  // Direct access to `bytes` bytes from `offset` (wrapping); false leaves `region` empty.
  virtual bool Lock(uint32_t offset, uint32_t bytes, LockedRegion& region) = 0;
  // Ends a write begun by Lock; the bytes written become visible to the device.
  virtual void Unlock(const LockedRegion& region) = 0;
  // Starts playing from the play cursor, looping forever.
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Volume in hundredths of a decibel, -10000 (silent) to 0 (unchanged); 0 on
  // success, a negative code otherwise.
  virtual int32_t SetVolume(int32_t hundredthsOfDecibel) = 0;
  // Milliseconds of sound the device may take at once from the play cursor on (its own
  // buffer): bytes that close to the cursor may already be on their way out.
  virtual uint32_t TakeAheadMs() const { return 0; }
  // True once the device plays silently because no sound output could be opened.
  virtual bool IsSilent() const { return false; }
};

// Opens the system's sound output through SDL2. When no real device can be opened the
// device falls back to SDL's silent "dummy" driver (which consumes sound at about real
// time) and says so once on standard error, so the program also runs without a sound card.
std::unique_ptr<ISoundDevice> OpenSystemSoundDevice();

}  // namespace snipora
