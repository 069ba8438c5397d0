#include "platform/sound/sdl_sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace snipora {
namespace {

constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);

// Scales signed little-endian samples in place by gainQ15 / 32768.
template <typename Sample>
void ScaleSigned(uint8_t* data, uint32_t length, int32_t gainQ15) {
  const uint32_t count = length / sizeof(Sample);
  for (uint32_t i = 0; i < count; ++i) {
    Sample value;
    std::memcpy(&value, data + i * sizeof(Sample), sizeof(Sample));
    value = static_cast<Sample>((static_cast<int64_t>(value) * gainQ15) >> 15);
    std::memcpy(data + i * sizeof(Sample), &value, sizeof(Sample));
  }
}

// Device buffer in frames asked for: a power of two of at most 20 ms, so that what SDL
// holds beyond the reported cursor stays well below the player's 50 ms rewrite margin.
// The driver may insist on more; TakeAheadMs then tells the player.
Uint16 DeviceFrames(uint32_t sampleRate) {
  uint32_t frames = 64;
  while (frames * 2 <= sampleRate / 50 && frames < 4096) frames *= 2;
  return static_cast<Uint16>(frames);
}

}  // namespace

SdlSoundDevice::SdlSoundDevice(bool ownsAudioSubsystem, bool silent)
    : ownsAudioSubsystem_(ownsAudioSubsystem), silent_(silent) {}

SdlSoundDevice::~SdlSoundDevice() {
  ReleaseBuffer();
  if (ownsAudioSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSoundDevice::OpenDevice(const PcmFormat& format) {
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.sampleRate);
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = DeviceFrames(format.sampleRate);
  want.callback = &SdlSoundDevice::Callback;
  want.userdata = this;
  switch (format.bitsPerSample) {
    case 8:
      want.format = AUDIO_U8;
      break;
    case 16:
      want.format = AUDIO_S16LSB;
      break;
    case 24:
    case 32:
      want.format = AUDIO_S32LSB;
      break;
    default:
      return false;
  }
  SDL_AudioSpec have{};
  // SDL converts to whatever format, rate and channels the hardware wants, so the
  // callback always sees the format asked for. The buffer size may change: asked to
  // keep it, SDL would hide the driver's larger one behind a stream and call back
  // several times in a row to fill it.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device_ == 0) return false;
  const uint64_t rate = have.freq > 0 ? static_cast<uint64_t>(have.freq) : format.sampleRate;
  takeAheadMs_ =
      rate == 0 ? 0 : static_cast<uint32_t>((uint64_t{have.samples} * 1000 + rate - 1) / rate);
  return true;
}

bool SdlSoundDevice::CreateBuffer(const PcmFormat& format, uint32_t size) {
  ReleaseBuffer();
  if (size == 0 || format.channels == 0 || format.channels > 8 || format.blockAlign == 0 ||
      format.blockAlign != format.channels * (format.bitsPerSample / 8) ||
      format.bitsPerSample % 8 != 0) {
    return false;
  }
  if (!OpenDevice(format)) {
    if (silent_) return false;
    // No usable output (for example ALSA without a card): carry on silently with SDL's
    // dummy driver, which still consumes sound at about real time.
    std::fprintf(stderr, "snipora: no sound device could be opened (%s); playing silently\n",
                 SDL_GetError());
    silent_ = true;
    if (SDL_AudioInit("dummy") != 0 || !OpenDevice(format)) return false;
  }
  format_ = format;
  widen24_ = format.bitsPerSample == 24;
  silenceByte_ = format.bitsPerSample == 8 ? 0x80 : 0;
  ring_.assign(size, silenceByte_);
  cursor_.store(0);
  playing_.store(false);
  SDL_PauseAudioDevice(device_, 0);  // the callback renders silence while stopped
  return true;
}

void SdlSoundDevice::ReleaseBuffer() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }
  ring_.clear();
  ring_.shrink_to_fit();
  cursor_.store(0);
  playing_.store(false);
}

uint32_t SdlSoundDevice::GetCurrentPosition() {
  return cursor_.load(std::memory_order_acquire);
}

void SdlSoundDevice::SetCurrentPosition(uint32_t offset) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  cursor_.store(offset % ring_.size(), std::memory_order_release);
  SDL_UnlockAudioDevice(device_);
}

bool SdlSoundDevice::Lock(uint32_t offset, uint32_t bytes, LockedRegion& region) {
  region = {};
  const auto size = static_cast<uint32_t>(ring_.size());
  if (device_ == 0 || offset >= size || bytes > size) return false;
  region.first = ring_.data() + offset;
  region.firstLength = std::min(bytes, size - offset);
  if (region.firstLength < bytes) {
    region.second = ring_.data();
    region.secondLength = bytes - region.firstLength;
  }
  return true;
}

void SdlSoundDevice::Unlock(const LockedRegion&) {
  // Taking the device lock once orders the bytes just written before every later
  // callback, which runs under the same lock.
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  SDL_UnlockAudioDevice(device_);
}

void SdlSoundDevice::Play() {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  playing_.store(true);
  SDL_UnlockAudioDevice(device_);
}

void SdlSoundDevice::Stop() {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  playing_.store(false);
  SDL_UnlockAudioDevice(device_);
}

int32_t SdlSoundDevice::SetVolume(int32_t hundredthsOfDecibel) {
  if (hundredthsOfDecibel > 0 || hundredthsOfDecibel < -10000) return kInvalidArgument;
  const double factor = std::pow(10.0, hundredthsOfDecibel / 2000.0);
  gainQ15_.store(hundredthsOfDecibel == 0 ? 32768 : static_cast<int32_t>(factor * 32768.0));
  return 0;
}

void SdlSoundDevice::Callback(void* self, uint8_t* out, int length) {
  static_cast<SdlSoundDevice*>(self)->Render(out, static_cast<uint32_t>(length));
}

void SdlSoundDevice::Render(uint8_t* out, uint32_t length) {
  const auto size = static_cast<uint32_t>(ring_.size());
  if (!playing_.load() || size == 0) {
    std::memset(out, silenceByte_, length);
    return;
  }
  uint32_t cursor = cursor_.load(std::memory_order_relaxed);
  const uint32_t channels = format_.channels;
  if (widen24_) {
    const uint32_t frames = length / (channels * 4);
    for (uint32_t i = 0; i < frames * channels; ++i) {
      const uint32_t packed =
          ring_[cursor] | ring_[(cursor + 1) % size] << 8 | ring_[(cursor + 2) % size] << 16;
      const uint32_t widened = packed << 8;
      std::memcpy(out + i * 4, &widened, 4);
      cursor = (cursor + 3) % size;
    }
    std::memset(out + frames * channels * 4, 0, length - frames * channels * 4);
  } else {
    const uint32_t first = std::min(length, size - cursor);
    std::memcpy(out, ring_.data() + cursor, first);
    std::memcpy(out + first, ring_.data(), length - first);
    cursor = (cursor + length) % size;
  }
  const int32_t gain = gainQ15_.load();
  if (gain != 32768) {
    switch (format_.bitsPerSample) {
      case 8:
        for (uint32_t i = 0; i < length; ++i) {
          out[i] =
              static_cast<uint8_t>(128 + (((static_cast<int32_t>(out[i]) - 128) * gain) >> 15));
        }
        break;
      case 16:
        ScaleSigned<int16_t>(out, length, gain);
        break;
      default:
        ScaleSigned<int32_t>(out, length, gain);
        break;
    }
  }
  cursor_.store(cursor, std::memory_order_release);
}

std::unique_ptr<ISoundDevice> OpenSystemSoundDevice() {
  // SDL would otherwise turn SIGINT/SIGTERM into quit events that nobody reads,
  // and the program could no longer be stopped from outside.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) return std::make_unique<SdlSoundDevice>(true, false);
  std::fprintf(stderr, "snipora: no sound system available (%s); playing silently\n",
               SDL_GetError());
  SDL_AudioInit("dummy");
  return std::make_unique<SdlSoundDevice>(false, true);
}

}  // namespace snipora
