#include "audiofile/zero_crossing.h"

#include <algorithm>

namespace snipora {

namespace {

// Enough for 20 ms of the widest frames in a few requests.
constexpr uint32_t kRingBytes = 256 * 1024;

template <class T>
int8_t SignOf(T value) {
  return static_cast<int8_t>((value > 0) - (value < 0));
}

// Sums in the samples' own units: integers exactly, floats in double.
template <class Sum, class Read>
void Signs(const uint8_t* data, uint64_t frames, const PcmLayout& layout, Read read,
           std::vector<int8_t>& signs) {
  for (uint64_t f = 0; f < frames; ++f) {
    const uint8_t* frame = data + f * layout.blockAlign;
    Sum sum = 0;
    for (uint32_t c = 0; c < layout.channels; ++c) sum += read(frame + c * layout.sampleBytes);
    signs[f] = SignOf(sum);
  }
}

}  // namespace

std::vector<int8_t> MonoSigns(const uint8_t* data, uint64_t frames, const PcmLayout& layout) {
  std::vector<int8_t> signs(frames);
  switch (layout.type) {
    case PcmSampleType::kU8:
      Signs<int64_t>(data, frames, layout, ReadU8, signs);
      break;
    case PcmSampleType::kS16:
      Signs<int64_t>(data, frames, layout, ReadS16, signs);
      break;
    case PcmSampleType::kS24:
      Signs<int64_t>(data, frames, layout, ReadS24, signs);
      break;
    case PcmSampleType::kS32:
      Signs<int64_t>(data, frames, layout, ReadS32, signs);
      break;
    case PcmSampleType::kF32:
      Signs<double>(data, frames, layout, ReadF32, signs);
      break;
    case PcmSampleType::kF64:
      Signs<double>(data, frames, layout, ReadF64, signs);
      break;
  }
  return signs;
}

std::optional<uint64_t> NearestZeroCrossing(const std::vector<int8_t>& signs, uint64_t first,
                                            uint64_t totalFrames, uint64_t target,
                                            uint32_t radius) {
  const auto qualifies = [&](uint64_t p) {
    if (p == 0 || p == totalFrames) return true;
    if (p < first + 1 || p - first >= signs.size()) return false;
    const int here = signs[p - first];
    return here == 0 || here == -signs[p - first - 1];
  };
  for (uint64_t d = 0; d <= radius; ++d) {
    if (d <= target && target - d <= totalFrames && qualifies(target - d)) return target - d;
    if (d > 0 && target + d <= totalFrames && qualifies(target + d)) return target + d;
  }
  return std::nullopt;
}

CZeroCrossingSnap::CZeroCrossingSnap(const std::string& path, const SoundFormatInfo& info)
    : layout_(FrameLayoutOf(info)), sampleRate_(info.formatBlock.samplesPerSec) {
  if (!layout_) return;
  totalFrames_ = info.dataSize / layout_->blockAlign;
  // Only what is asked for: each snap reads twice its radius.
  data_ = OpenSampleData(path, info, kRingBytes, false);
  if (!data_) layout_.reset();
}

uint64_t CZeroCrossingSnap::Snap(uint64_t frame) {
  return Snap(frame, SnapRadiusFrames(sampleRate_));
}

uint64_t CZeroCrossingSnap::Snap(uint64_t frame, uint32_t radius) {
  if (!layout_ || frame > totalFrames_) return frame;
  // One frame more before the window: a crossing at its first position needs it.
  const uint64_t first = frame > radius ? frame - radius - 1 : 0;
  const uint64_t last = std::min(totalFrames_, frame + radius + 1);
  bytes_.resize((last - first) * layout_->blockAlign);
  if (data_->Seek(first * layout_->blockAlign) != 0) return frame;
  const uint32_t got = data_->Read(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
  const std::vector<int8_t> signs = MonoSigns(bytes_.data(), got / layout_->blockAlign, *layout_);
  return NearestZeroCrossing(signs, first, totalFrames_, frame, radius).value_or(frame);
}

}  // namespace snipora
