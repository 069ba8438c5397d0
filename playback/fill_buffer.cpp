// Copying queue bytes into the sound buffer: speed stepping, software gain and the
// automatic volume control (16-bit samples only).
#include <algorithm>
#include <cstring>

#include "playback/auto_volume.h"
#include "playback/stream_player.h"

namespace snipora {
namespace {

constexpr uint32_t kMaxAhead = 0xF3800;

// The queue region being read: up to two pieces of 16-bit samples.
struct SampleRegion {
  const int16_t* data;
  uint32_t length;  // samples in the current piece
  const int16_t* next;
  uint32_t nextLength;

  // Moves `index` into the piece that holds the frame of `needed` samples there; false
  // past the region's end. (Pieces hold whole frames of one or two channels; wider
  // frames go through StepFramesGeneric.)
  bool Settle(uint32_t& index, uint32_t needed) {
    while (index + needed > length) {
      if (next == nullptr || index < length) return false;
      index -= length;
      data = next;
      length = nextLength;
      next = nullptr;
      nextLength = 0;
    }
    return true;
  }
};

inline int16_t Clamp(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, -32767, 32767));
}

// Constant gain that switches from `current` to `target` at the first quiet frame.
struct QuietSwitchGain {
  int32_t current;
  int32_t target;
  int32_t quietLimit;

  void Frame(const int16_t* frame, int channels) {
    if (current == target) return;
    for (int c = 0; c < channels; ++c) {
      if (frame[c] < -quietLimit || frame[c] > quietLimit) return;
    }
    current = target;
  }
  int16_t Scale(int32_t sample) const { return Clamp(sample * current / 100); }
  int16_t Last() const { return static_cast<int16_t>(current); }
  bool Constant() const { return current == target; }
  int32_t Factor() const { return current; }
};

// samples = samples x gain / 100, truncated toward zero and clamped to -32767..32767.
// Done in doubles: the product is exact and the error of x 0.01 stays far below the 0.01
// between a quotient and the next integer, so truncation gives exactly the integer
// quotient (checked for every sample and every gain 0..10000). Unlike an integer
// division this vectorises well.
void ScaleInPlace(int16_t* samples, uint32_t count, int32_t gain) {
  const double factor = gain;
  for (uint32_t i = 0; i < count; ++i) {
    const auto value = static_cast<int32_t>(samples[i] * factor * 0.01);
    samples[i] = static_cast<int16_t>(std::clamp(value, -32767, 32767));
  }
}

// 32.32 gain growing linearly by `step` before every frame.
struct RampGain {
  int64_t gain;
  int64_t step;

  void Frame(const int16_t*, int) { gain += step; }
  bool Constant() const { return false; }
  int32_t Factor() const { return 0; }
  int16_t Scale(int32_t sample) const { return Clamp(sample * gain / (int64_t{100} << 32)); }
};

// Steps through `source` with the 8.24 `step` and writes up to `frames` scaled frames
// to `out`; returns the frames written (fewer when the region runs out).
template <int Channels, typename Gain>
uint32_t StepFrames(int16_t* out, uint32_t frames, SampleRegion& source, uint32_t& index,
                    uint32_t& phase, uint32_t step, Gain& gain) {
  uint32_t written = 0;
  while (written < frames) {
    if (index + Channels > source.length && !source.Settle(index, Channels)) break;
    // Output frames whose source frames all lie in this piece: frame k reads at most
    // (phase + k * step) / 2^24 frames on, so they need no bounds check.
    const uint64_t room = uint64_t{(source.length - index) / Channels} << 24;
    const uint64_t fitting = room > phase ? (room - phase + step - 1) / step : 1;
    const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(fitting, frames - written));
    const int16_t* base = source.data + index;
    if (gain.Constant()) {
      // A steady gain: gather the frames (a straight copy at normal speed), then scale
      // them all in one vectorisable pass.
      if (step == 0x1000000 && phase < 0x1000000) {
        std::memcpy(out, base, count * Channels * sizeof(int16_t));
        index += count * Channels;
      } else {
        // position: frames on from `base` in 8.24, so that only an addition is carried
        // from frame to frame.
        uint64_t position = phase;
        uint32_t offset = 0;
        for (uint32_t k = 0; k < count; ++k) {
          std::memcpy(out + k * Channels, base + offset, Channels * sizeof(int16_t));
          position += step;
          offset = static_cast<uint32_t>(position >> 24) * Channels;
        }
        index += offset;
        phase = static_cast<uint32_t>(position & 0xFFFFFF);
      }
      ScaleInPlace(out, count * Channels, gain.Factor());
    } else {
      uint64_t position = phase;
      uint32_t offset = 0;
      for (uint32_t k = 0; k < count; ++k) {
        const int16_t* frame = base + offset;
        gain.Frame(frame, Channels);
        for (int c = 0; c < Channels; ++c) out[k * Channels + c] = gain.Scale(frame[c]);
        position += step;
        offset = static_cast<uint32_t>(position >> 24) * Channels;
      }
      index += offset;
      phase = static_cast<uint32_t>(position & 0xFFFFFF);
    }
    out += count * Channels;
    written += count;
  }
  return written;
}

// Any other channel count: frames of `channels` samples read and written sample by
// sample, so that frames cut by a piece boundary in the queue or the buffer are whole.
template <typename Gain>
uint32_t StepFramesGeneric(uint8_t* pieces[2], uint32_t lengths[2], uint32_t channels,
                           SampleRegion& source, uint32_t& index, uint32_t& phase, uint32_t step,
                           Gain& gain) {
  const uint32_t totalSamples = (lengths[0] + lengths[1]) / 2;
  const uint32_t firstSamples = lengths[0] / 2;
  const uint32_t all = source.length + source.nextLength;
  uint32_t out = 0;
  int16_t frame[kMaxSteppedChannels];
  while (out + channels <= totalSamples && index + channels <= all) {
    for (uint32_t c = 0; c < channels; ++c) {
      const uint32_t i = index + c;
      frame[c] = i < source.length ? source.data[i] : source.next[i - source.length];
    }
    gain.Frame(frame, static_cast<int>(channels));
    for (uint32_t c = 0; c < channels; ++c, ++out) {
      const int16_t value = gain.Scale(frame[c]);
      uint8_t* target =
          out < firstSamples ? pieces[0] + out * 2 : pieces[1] + (out - firstSamples) * 2;
      std::memcpy(target, &value, 2);
    }
    phase += step;
    index += (phase >> 24) * channels;
    phase &= 0xFFFFFF;
  }
  return out / channels;
}

// Bytes in up to two pieces (a ring's region), addressed as one run.
struct SplitBytes {
  uint8_t* first;
  uint32_t firstLength;
  uint8_t* second;
  uint32_t secondLength;

  uint32_t Length() const { return firstLength + secondLength; }
  void Read(uint32_t at, uint8_t* out, uint32_t n) const {
    const uint32_t inFirst = at < firstLength ? std::min(n, firstLength - at) : 0;
    if (inFirst > 0) std::memcpy(out, first + at, inFirst);
    if (n > inFirst) std::memcpy(out + inFirst, second + (at + inFirst - firstLength), n - inFirst);
  }
  void Write(uint32_t at, const uint8_t* in, uint32_t n) {
    const uint32_t inFirst = at < firstLength ? std::min(n, firstLength - at) : 0;
    if (inFirst > 0) std::memcpy(first + at, in, inFirst);
    if (n > inFirst) std::memcpy(second + (at + inFirst - firstLength), in + inFirst, n - inFirst);
  }
};

// Software gain for samples other than 16-bit: integers x gain / 100 truncated toward
// zero and kept within the symmetric range of their width (8-bit ones around 128),
// floats multiplied by gain / 100. Gain 100 leaves every byte as it is.
class WideSampleGain {
 public:
  WideSampleGain(const PcmFormat& format, int32_t gain)
      : sampleBytes_(format.bitsPerSample / 8u), isFloat_(format.isFloat), gain_(gain) {}

  void Frame(uint8_t* frame, uint32_t bytes) const {
    if (gain_ == 100) return;
    for (uint32_t at = 0; at < bytes; at += sampleBytes_) Sample(frame + at);
  }

 private:
  void Sample(uint8_t* at) const {
    if (isFloat_ && sampleBytes_ == 4) {
      float value;
      std::memcpy(&value, at, 4);
      value = static_cast<float>(value * (gain_ / 100.0));
      std::memcpy(at, &value, 4);
    } else if (isFloat_) {
      double value;
      std::memcpy(&value, at, 8);
      value *= gain_ / 100.0;
      std::memcpy(at, &value, 8);
    } else if (sampleBytes_ == 1) {
      *at = static_cast<uint8_t>(128 + std::clamp((*at - 128) * gain_ / 100, -127, 127));
    } else {
      const uint32_t shift = 32 - 8 * sampleBytes_;
      uint32_t raw = 0;
      std::memcpy(&raw, at, sampleBytes_);
      const int64_t value = static_cast<int32_t>(raw << shift) >> shift;  // sign-extended
      const int64_t limit = (int64_t{1} << (8 * sampleBytes_ - 1)) - 1;
      const auto scaled = static_cast<uint32_t>(std::clamp(value * gain_ / 100, -limit, limit));
      std::memcpy(at, &scaled, sampleBytes_);
    }
  }

  uint32_t sampleBytes_;
  bool isFloat_;
  int32_t gain_;
};

// Steps through `source` frame by frame with the 8.24 `step` as the 16-bit copy does,
// scaling each frame; frames may straddle the pieces of either side. Returns the bytes
// stored.
uint32_t StepWideFrames(SplitBytes& out, const SplitBytes& source, uint32_t frameBytes,
                        const WideSampleGain& gain, uint32_t& phase, uint32_t step) {
  uint8_t frame[kMaxDeviceChannels * 8];
  if (frameBytes > sizeof frame) return 0;
  uint32_t index = 0;
  uint32_t stored = 0;
  while (stored + frameBytes <= out.Length() && index + frameBytes <= source.Length()) {
    source.Read(index, frame, frameBytes);
    gain.Frame(frame, frameBytes);
    out.Write(stored, frame, frameBytes);
    stored += frameBytes;
    phase += step;
    index += (phase >> 24) * frameBytes;
    phase &= 0xFFFFFF;
  }
  return stored;
}

}  // namespace

bool CDSStreamPlayer::AdjustGainForRegion(uint32_t offset) {
  const uint32_t start = (state_ & CDS_AUTOVOLUPENABLE) ? 0 : offset;
  uint8_t* first = nullptr;
  uint8_t* second = nullptr;
  uint32_t firstLength = 0;
  uint32_t secondLength = 0;
  if (queue_.Lock(start, queue_.Count() - start, &first, &firstLength, &second, &secondLength) !=
      0) {
    return false;
  }
  const LevelMeasure measure = ChooseLevelMeasure(state_);
  int32_t level = measure(reinterpret_cast<const int16_t*>(first), firstLength);
  if (second != nullptr) {
    level = std::max(level, measure(reinterpret_cast<const int16_t*>(second), secondLength));
  }
  const GainDecision decision = DecideGain(level, state_, targetGain_);
  if (!decision.changed) return false;
  targetGain_ = decision.target;
  return !(state_ & CDS_AUTOVOLDELAY);
}

int CDSStreamPlayer::FillBuffer(uint32_t bytes, uint32_t offset) {
  if (offset >= queue_.Count()) return 0;
  const bool sixteenBit = outputFormat_.bitsPerSample == 16;
  if ((state_ & CDS_AUTOVOLUME) && sixteenBit && AdjustGainForRegion(offset)) offset = 0;

  const uint32_t bytesPerSecond = outputFormat_.bytesPerSecond;
  const uint32_t align = std::max<uint32_t>(outputFormat_.blockAlign, 1);
  const uint32_t ahead = std::min(3 * bytesPerSecond, kMaxAhead);
  uint32_t regionStart = offset;
  if (offset == 0) {
    // A re-transfer: everything from the margin (50 ms) ahead of the play cursor is
    // rewritten.
    gainInEffect_ = targetGain_;
    if (state_ & CDS_PLAYING) {
      const uint64_t leadMs = RewriteMarginMs();
      uint32_t skip =
          static_cast<uint32_t>(uint64_t{bytesPerSecond} * speedPercent_ * leadMs / 100000);
      skip -= skip % align;
      uint32_t playCursor = 0;
      Advance(Pending(&playCursor));
      regionStart = skip;
      auto lead = static_cast<uint32_t>(bytesPerSecond * leadMs / 1000);
      lead -= lead % align;
      writeCursor_ = (playCursor + lead) % kSoundBufferBytes;
      outstanding_ = lead;
      bytes = ahead - lead;
    } else {
      device_.SetCurrentPosition(0);
      writeCursor_ = 0;
      outstanding_ = 0;
      bytes = ahead;
    }
    if (regionStart >= queue_.Count()) return 0;
  }

  uint8_t* first = nullptr;
  uint8_t* second = nullptr;
  uint32_t firstLength = 0;
  uint32_t secondLength = 0;
  queue_.Lock(regionStart, queue_.Count() - regionStart, &first, &firstLength, &second,
              &secondLength);
  LockedRegion locked;
  if (!device_.Lock(writeCursor_, bytes, locked)) return 0;
  uint8_t* pieces[2] = {locked.first, locked.second};
  uint32_t pieceLengths[2] = {locked.firstLength, locked.secondLength};

  uint32_t stored = 0;
  // Successive writes keep to one grid of source positions.
  uint32_t phase = static_cast<uint32_t>(
      (speedStep_ - ((uint64_t{readPosition_} << 24) / align) % speedStep_) % speedStep_);
  if (sixteenBit) {
    const uint32_t channels = outputFormat_.channels;
    SampleRegion source{reinterpret_cast<const int16_t*>(first), firstLength / 2,
                        reinterpret_cast<const int16_t*>(second), secondLength / 2};
    if (source.next == nullptr) source.nextLength = 0;
    uint32_t index = 0;
    const auto copy = [&](auto& gain) {
      if (channels == 1 || channels == 2) {
        for (int p = 0; p < 2; ++p) {
          const uint32_t frames = pieceLengths[p] / align;
          auto* out = reinterpret_cast<int16_t*>(pieces[p]);
          const uint32_t written =
              channels == 1 ? StepFrames<1>(out, frames, source, index, phase, speedStep_, gain)
                            : StepFrames<2>(out, frames, source, index, phase, speedStep_, gain);
          stored += written * align;
          if (written < frames) break;
        }
      } else {
        stored = StepFramesGeneric(pieces, pieceLengths, channels, source, index, phase, speedStep_,
                                   gain) *
                 align;
      }
    };
    if ((state_ & (CDS_AUTOVOLUME | CDS_AUTOVOLSLOWLYAPPLY)) ==
        (CDS_AUTOVOLUME | CDS_AUTOVOLSLOWLYAPPLY)) {
      // The ramp spans the output frames of the block. (For PCM sources the output
      // alignment is the source's; a compressed source's blocks say nothing about it.)
      const int64_t frames = bytes / align;
      RampGain gain{int64_t{gainInEffect_} << 32,
                    frames == 0 ? 0 : (int64_t{targetGain_ - gainInEffect_} << 32) / frames};
      copy(gain);
      gainInEffect_ = targetGain_;
    } else {
      QuietSwitchGain gain{gainInEffect_, targetGain_, channels == 2 ? 149 : 99};
      copy(gain);
      if (stored > 0) gainInEffect_ = gain.Last();
    }
  } else {
    // Other sample layouts: the same stepping, a constant gain (the automatic control
    // measures 16-bit samples only).
    gainInEffect_ = targetGain_;
    const SplitBytes source{first, firstLength, second, second ? secondLength : 0};
    SplitBytes out{pieces[0], pieceLengths[0], pieces[1], pieceLengths[1]};
    stored = StepWideFrames(out, source, align, WideSampleGain(outputFormat_, targetGain_), phase,
                            speedStep_);
  }
  writeCursor_ = (writeCursor_ + stored) % kSoundBufferBytes;
  outstanding_ += stored;
  device_.Unlock(locked);
  return 0;
}

}  // namespace snipora
