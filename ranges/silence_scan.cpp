#include <algorithm>
#include <cmath>
#include <cstring>

#include "audiofile/pcm_samples.h"
#include "audiofile/sample_source.h"
#include "audiofile/sound_units.h"
#include "ranges/sounds_between_silences.h"

// The streaming half of the silence search: which frames are silent, and the
// runs of them that are long enough.
namespace snipora::ranges {

namespace {

// The data is read ahead on a thread of its own in blocks of this size.
constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 4;
// Silent stretches are checked this many frames at a time before the frame
// that ends them is looked for.
constexpr uint64_t kChunkFrames = 64;

// Whether one sample is above the threshold, per sample type. Integers
// compare their magnitude in their own units; a float that is not a number
// counts as loud.
template <PcmSampleType T>
struct LoudSample;

template <>
struct LoudSample<PcmSampleType::kS16> {
  int32_t limit;
  bool operator()(const uint8_t* b) const {
    int16_t v;
    std::memcpy(&v, b, 2);  // little-endian host
    return v > limit || v < -limit;
  }
};

template <int32_t (*Read)(const uint8_t*)>
struct LoudInteger {
  int64_t limit;
  bool operator()(const uint8_t* b) const {
    const int64_t v = Read(b);
    return v > limit || v < -limit;
  }
};
template <>
struct LoudSample<PcmSampleType::kU8> : LoudInteger<ReadU8> {};
template <>
struct LoudSample<PcmSampleType::kS24> : LoudInteger<ReadS24> {};
template <>
struct LoudSample<PcmSampleType::kS32> : LoudInteger<ReadS32> {};

template <double (*Read)(const uint8_t*)>
struct LoudFloat {
  double limit;
  bool operator()(const uint8_t* b) const { return !(std::fabs(Read(b)) <= limit); }
};
template <>
struct LoudSample<PcmSampleType::kF32> : LoudFloat<ReadF32> {};
template <>
struct LoudSample<PcmSampleType::kF64> : LoudFloat<ReadF64> {};

// Follows the runs of silent frames through the data, block after block, and
// keeps those of at least minRun frames. Where no run is open it looks only
// at every minRun-th frame: a run that long must cover it, so a loud one
// rules out every run starting before it, and a silent one is traced back to
// where its run begins. Long sound is crossed without reading most of it.
template <PcmSampleType T>
class RunFinder {
  static constexpr uint32_t kBytes = PcmSampleBytes(T);

 public:
  RunFinder(LoudSample<T> loud, const PcmLayout& layout, uint64_t minRun,
            std::vector<FrameSpan>& runs)
      : loud_(loud), layout_(layout), minRun_(minRun), runs_(runs) {
    packed_ = layout.blockAlign == layout.channels * layout.sampleBytes;
  }

  // Frames [first, first + count) at data, continuing the previous call's.
  void Take(const uint8_t* data, uint64_t first, uint64_t count) {
    // Invariant: outside a run, the frame before i is loud (or i is 0).
    uint64_t i = 0;
    while (i < count) {
      if (open_) {
        const uint64_t loud = FirstLoud(data, i, count);
        if (loud == count) return;
        Close(first + loud);
        i = loud + 1;
        continue;
      }
      const uint64_t probe = i + minRun_ - 1;
      const uint64_t last = std::min(probe, count - 1);
      if (probe < count && Loud(data, probe)) {
        i = probe + 1;
        continue;
      }
      uint64_t start = last + 1;
      while (start > i && !Loud(data, start - 1)) --start;
      if (start == last + 1) return;  // the block ends on a loud frame
      open_ = true;
      from_ = first + start;
      i = last + 1;
    }
  }

  void Finish(uint64_t end) {
    if (open_) Close(end);
  }

 private:
  bool Loud(const uint8_t* data, uint64_t frame) const {
    const uint8_t* p = data + frame * layout_.blockAlign;
    for (uint32_t c = 0; c < layout_.channels; ++c) {
      if (loud_(p + c * kBytes)) return true;
    }
    return false;
  }

  // The first loud frame in [from, count), or count.
  uint64_t FirstLoud(const uint8_t* data, uint64_t from, uint64_t count) const {
    if (packed_) {
      // All samples of a chunk side by side: one pass the compiler vectorises.
      const uint64_t samples = kChunkFrames * layout_.channels;
      for (; from + kChunkFrames <= count; from += kChunkFrames) {
        const uint8_t* p = data + from * layout_.blockAlign;
        bool any = false;
        for (uint64_t s = 0; s < samples; ++s) any |= loud_(p + s * kBytes);
        if (any) break;
      }
    }
    for (; from < count; ++from) {
      if (Loud(data, from)) return from;
    }
    return count;
  }

  void Close(uint64_t end) {
    open_ = false;
    if (end - from_ >= minRun_) runs_.push_back({from_, end});
  }

  LoudSample<T> loud_;
  PcmLayout layout_;
  uint64_t minRun_;
  std::vector<FrameSpan>& runs_;
  bool packed_ = false;
  bool open_ = false;
  uint64_t from_ = 0;  // where the open run began
};

// Streams the data through a RunFinder: whole frames straight from the read
// blocks, a frame split between two blocks through a copy of its own.
template <PcmSampleType T>
SilenceScanEnd Scan(const std::string& path, const SoundFormatInfo& info, LoudSample<T> loud,
                    const PcmLayout& layout, uint64_t minRun, IScanProgress& progress,
                    std::vector<FrameSpan>& runs) {
  const uint64_t total = TotalFrames(info);
  const std::unique_ptr<ISampleRuns> data =
      StartSampleRuns(path, info, {{0, total}}, kReadBlockBytes, kReadBlocks);
  if (!data) return SilenceScanEnd::kOpenFailed;
  ISampleRuns& reader = *data;
  RunFinder<T> finder(loud, layout, minRun, runs);
  std::vector<uint8_t> split(layout.blockAlign);
  uint32_t splitHeld = 0;
  uint64_t done = 0;
  while (done < total) {
    progress.Advance(done, total);
    if (progress.IsCancelled()) return SilenceScanEnd::kCancelled;
    uint8_t* run = nullptr;
    uint32_t length = 0;
    if (reader.Next(kReadBlockBytes, &run, &length) != 0) return SilenceScanEnd::kReadFailed;
    reader.Consume(length);
    uint32_t at = 0;
    if (splitHeld != 0) {
      const uint32_t n = std::min(length, layout.blockAlign - splitHeld);
      std::memcpy(split.data() + splitHeld, run, n);
      splitHeld += n;
      at = n;
      if (splitHeld < layout.blockAlign) continue;
      finder.Take(split.data(), done++, 1);
      splitHeld = 0;
    }
    const uint64_t frames = (length - at) / layout.blockAlign;
    finder.Take(run + at, done, frames);
    done += frames;
    at += static_cast<uint32_t>(frames * layout.blockAlign);
    splitHeld = length - at;
    std::memcpy(split.data(), run + at, splitHeld);
  }
  progress.Advance(total, total);
  finder.Finish(total);
  return SilenceScanEnd::kDone;
}

}  // namespace

SilenceScanEnd FindSilences(const std::string& path, const SoundFormatInfo& info,
                            double thresholdDb, uint64_t minSilenceFrames, IScanProgress& progress,
                            std::vector<FrameSpan>& silences) {
  silences.clear();
  const std::optional<PcmLayout> layout = FrameLayoutOf(info);
  if (!layout) return SilenceScanEnd::kFormatRefused;
  const double ratio = std::pow(10.0, thresholdDb / 20.0);
  // Integer thresholds beyond full scale make every frame silent; capping
  // them there keeps the comparisons in range.
  const double fullScale = std::ldexp(1.0, static_cast<int>(layout->bits) - 1);
  const auto limit = static_cast<int64_t>(std::floor(std::min(fullScale * ratio, fullScale)));
  const uint64_t minRun = std::max<uint64_t>(minSilenceFrames, 1);
  const auto scan = [&]<PcmSampleType T>(LoudSample<T> loud) {
    return Scan<T>(path, info, loud, *layout, minRun, progress, silences);
  };
  SilenceScanEnd end = SilenceScanEnd::kFormatRefused;
  switch (layout->type) {
    case PcmSampleType::kU8:
      end = scan(LoudSample<PcmSampleType::kU8>{{limit}});
      break;
    case PcmSampleType::kS16:
      end = scan(LoudSample<PcmSampleType::kS16>{static_cast<int32_t>(limit)});
      break;
    case PcmSampleType::kS24:
      end = scan(LoudSample<PcmSampleType::kS24>{{limit}});
      break;
    case PcmSampleType::kS32:
      end = scan(LoudSample<PcmSampleType::kS32>{{limit}});
      break;
    case PcmSampleType::kF32:
      end = scan(LoudSample<PcmSampleType::kF32>{{ratio}});
      break;
    case PcmSampleType::kF64:
      end = scan(LoudSample<PcmSampleType::kF64>{{ratio}});
      break;
  }
  if (end != SilenceScanEnd::kDone) silences.clear();
  return end;
}

}  // namespace snipora::ranges
