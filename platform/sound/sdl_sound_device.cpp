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

void ScaleFloat(uint8_t* data, uint32_t length, int32_t gainQ15) {
  const float factor = static_cast<float>(gainQ15) / 32768.0f;
  for (uint32_t i = 0; i + 4 <= length; i += 4) {
    float value;
    std::memcpy(&value, data + i, 4);
    value *= factor;
    std::memcpy(data + i, &value, 4);
  }
}

// One ring sample of `ringBytes` bytes in the device's layout: packed 24-bit
// samples become the top three bytes of a 32-bit one, 64-bit floats 32-bit floats.
void ConvertSample(const uint8_t* in, uint32_t ringBytes, uint8_t* out) {
  if (ringBytes == 3) {
    const uint32_t widened = (in[0] | in[1] << 8 | uint32_t{in[2]} << 16) << 8;
    std::memcpy(out, &widened, 4);
  } else {
    double wide;
    std::memcpy(&wide, in, 8);
    const auto narrow = static_cast<float>(wide);
    std::memcpy(out, &narrow, 4);
  }
}

bool PlayableLayout(const PcmFormat& format) {
  const uint16_t bits = format.bitsPerSample;
  const bool bitsOk = format.isFloat ? bits == 32 || bits == 64 : bits >= 8 && bits <= 32;
  return bitsOk && bits % 8 == 0 && format.channels > 0 && format.channels <= kMaxDeviceChannels &&
         format.blockAlign == format.channels * (bits / 8);
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
  if (format.isFloat) {
    want.format = AUDIO_F32LSB;
  } else if (format.bitsPerSample == 8) {
    want.format = AUDIO_U8;
  } else if (format.bitsPerSample == 16) {
    want.format = AUDIO_S16LSB;
  } else {
    want.format = AUDIO_S32LSB;  // 24-bit samples are widened
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
  if (size == 0 || !PlayableLayout(format)) return false;
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
  ringSampleBytes_ = format.bitsPerSample / 8u;
  deviceSampleBytes_ = ringSampleBytes_ == 3 || ringSampleBytes_ == 8 ? 4 : ringSampleBytes_;
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
  if (ringSampleBytes_ != deviceSampleBytes_) {
    const uint32_t frameBytes = channels * deviceSampleBytes_;
    const uint32_t samples = length / frameBytes * channels;
    uint8_t sample[8];
    for (uint32_t i = 0; i < samples; ++i) {
      // A ring of 0x100000 bytes can end inside a 3-byte sample.
      for (uint32_t b = 0; b < ringSampleBytes_; ++b) sample[b] = ring_[(cursor + b) % size];
      ConvertSample(sample, ringSampleBytes_, out + i * deviceSampleBytes_);
      cursor = (cursor + ringSampleBytes_) % size;
    }
    std::memset(out + samples * deviceSampleBytes_, 0, length - samples * deviceSampleBytes_);
  } else {
    const uint32_t first = std::min(length, size - cursor);
    std::memcpy(out, ring_.data() + cursor, first);
    std::memcpy(out + first, ring_.data(), length - first);
    cursor = (cursor + length) % size;
  }
  const int32_t gain = gainQ15_.load();
  if (gain != 32768 && format_.isFloat) {
    ScaleFloat(out, length, gain);
  } else if (gain != 32768) {
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
