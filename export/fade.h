#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "audiofile/sound_format.h"

// Linear fades in 64-bit integer fixed point. Over a fade-out of N frames the
// gain starts at 32767 x 10^8 and drops by one step (32767 x 10^8 / N) before
// each frame, so frame k of N is scaled by about (N - k) / N. A fade-in is its
// exact time mirror: its frame j (from 0) gets the factor of the fade-out's
// frame N - j. The factor gain / 32767 (0 ... 10^8 - 1) scales integer samples
// with truncation toward zero (8-bit ones around 128) and multiplies float
// samples as factor / 10^8. Where fades overlap, their factors multiply.
namespace snipora {

inline constexpr int64_t kFactorOne = 100000000;  // the factor that stands for 1

// Whether the fades can scale this file's samples: plain or decoded (FLAC)
// data in frames of at most 4096 bytes of whole samples of 1 to 4 bytes
// (integer) or 4 or 8 bytes (float).
bool CanFade(const SoundFormatInfo& format);

// Frames of fadeMs of audio of this file, at most `limit`; none for samples
// that cannot be faded.
uint64_t FadeFrames(const SoundFormatInfo& format, uint32_t fadeMs, uint64_t limit);

enum class FadeDirection { kOut, kIn };

// One fade over output frames [firstFrame, firstFrame + frames).
struct FadeSpan {
  uint64_t firstFrame = 0;
  uint64_t frames = 0;
  FadeDirection direction = FadeDirection::kOut;

  bool operator==(const FadeSpan&) const = default;
};

// Scales the samples of whole frames by a factor.
class FrameScaler {
 public:
  // A sample is blockAlign / channels bytes; an integer sample whose low
  // paddingBits carry no signal is scaled as the value above them, so that
  // they stay zero.
  FrameScaler(uint32_t blockAlign, uint16_t channels, SampleCoding coding = SampleCoding::kPcm,
              uint32_t paddingBits = 0);
  // The scaler for samples in `format` (its coding and padding bits).
  static FrameScaler ForFormat(const WaveFormatBlock& format);

  uint32_t FrameBytes() const { return frameBytes_; }
  // Scales the samples of the frame at `frame` by factor / 10^8.
  void Scale(uint8_t* frame, int64_t factor) const;

 private:
  uint32_t frameBytes_;
  uint32_t sampleBytes_;
  SampleCoding coding_;
  uint32_t paddingBits_;
};

// The fades of one output, positioned in its frames.
class OutputFades {
 public:
  OutputFades(const FrameScaler& scaler, std::vector<FadeSpan> spans);

  const FrameScaler& Scaler() const { return scaler_; }
  bool Empty() const { return spans_.empty(); }

  // The end (at most `limit`) of the stretch from `frame` on whose frames
  // all lie in some fade (faded = true) or all in none.
  uint64_t StretchEnd(uint64_t frame, uint64_t limit, bool& faded) const;
  // Scales count bytes (whole frames) holding output frames firstFrame on;
  // frames outside every fade are left as they are.
  void Apply(uint8_t* bytes, uint32_t count, uint64_t firstFrame) const;

 private:
  // The factor of a frame inside some fade; nothing outside every fade.
  std::optional<int64_t> FadedFactor(uint64_t frame) const;

  FrameScaler scaler_;
  std::vector<FadeSpan> spans_;
};

}  // namespace snipora
