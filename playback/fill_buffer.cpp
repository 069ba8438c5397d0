// Copying queue bytes into the sound buffer: speed stepping, software gain and the
// automatic volume control.
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
  if (sixteenBit) {
    const uint32_t channels = outputFormat_.channels;
    SampleRegion source{reinterpret_cast<const int16_t*>(first), firstLength / 2,
                        reinterpret_cast<const int16_t*>(second), secondLength / 2};
    if (source.next == nullptr) source.nextLength = 0;
    uint32_t index = 0;
    // Successive writes keep to one grid of source positions.
    uint32_t phase = static_cast<uint32_t>(
        (speedStep_ - ((uint64_t{readPosition_} << 24) / align) % speedStep_) % speedStep_);
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
    // Other sample widths play unscaled at normal speed.
    targetGain_ = 100;
    speedPercent_ = 100;
    const uint32_t available = std::min(bytes, firstLength + secondLength);
    for (uint32_t done = 0; done < available;) {
      const uint32_t from = done;
      const uint8_t* src = from < firstLength ? first + from : second + (from - firstLength);
      const uint32_t srcRun =
          from < firstLength ? firstLength - from : firstLength + secondLength - from;
      const uint32_t to = done;
      uint8_t* dst = to < pieceLengths[0] ? pieces[0] + to : pieces[1] + (to - pieceLengths[0]);
      const uint32_t dstRun = to < pieceLengths[0] ? pieceLengths[0] - to : bytes - to;
      const uint32_t run = std::min({srcRun, dstRun, available - done});
      std::memcpy(dst, src, run);
      done += run;
    }
    stored = available;
  }
  writeCursor_ = (writeCursor_ + stored) % kSoundBufferBytes;
  outstanding_ += stored;
  device_.Unlock(locked);
  return 0;
}

}  // namespace snipora
