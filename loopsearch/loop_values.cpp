#include "loopsearch/loop_values.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audiofile/sector_file.h"
#include "audiofile/sound_units.h"
#include "loopsearch/loop_search.h"

namespace snipora {

namespace {

// Frames mixed per file read.
constexpr uint32_t kMixFrames = 4096;

// Mean of the integer samples of one frame, rounded down.
template <int32_t (*Read)(const uint8_t*)>
int64_t IntegerMean(const uint8_t* frame, const PcmLayout& layout) {
  int64_t sum = 0;
  for (uint32_t c = 0; c < layout.channels; ++c) sum += Read(frame + c * layout.sampleBytes);
  const int64_t n = layout.channels;
  return (sum >= 0 ? sum : sum - n + 1) / n;
}

// -32768 lies in no tolerance band; the mix keeps to the values that can match.
constexpr double kLowest = -32767;

template <double (*Read)(const uint8_t*)>
int16_t FloatMix(const uint8_t* frame, const PcmLayout& layout) {
  double sum = 0;
  for (uint32_t c = 0; c < layout.channels; ++c) sum += Read(frame + c * layout.sampleBytes);
  const double value = std::nearbyint(sum / layout.channels * 32768.0);
  if (!(value >= kLowest)) return value > 0 ? 32767 : kLowest;  // also not a number
  return static_cast<int16_t>(std::min(value, 32767.0));
}

int16_t Clipped(int64_t value) {
  return static_cast<int16_t>(std::max<int64_t>(value, kLowest));
}

// The 16-bit value of one frame: the mean of its channels, integers shifted
// down to 16 bits (8-bit ones up), floats scaled by 32768 and rounded; all
// clipped to +-32767.
int16_t MixFrame(const uint8_t* frame, const PcmLayout& layout) {
  switch (layout.type) {
    case PcmSampleType::kU8:
      return Clipped(IntegerMean<ReadU8>(frame, layout) * 256);
    case PcmSampleType::kS16:
      return Clipped(IntegerMean<ReadS16>(frame, layout));
    case PcmSampleType::kS24:
      return Clipped(IntegerMean<ReadS24>(frame, layout) >> 8);
    case PcmSampleType::kS32:
      return Clipped(IntegerMean<ReadS32>(frame, layout) >> 16);
    case PcmSampleType::kF32:
      return FloatMix<ReadF32>(frame, layout);
    case PcmSampleType::kF64:
      break;
  }
  return FloatMix<ReadF64>(frame, layout);
}

}  // namespace

CLoopValueFile::CLoopValueFile(const SoundFormatInfo& info) : info_(info) {
  if (info.formatBlock.bitsPerSample != 16) mix_ = FrameLayoutOf(info);
}

bool CLoopValueFile::Searchable() const {
  return info_.formatBlock.bitsPerSample == 16 || mix_.has_value();
}

int CLoopValueFile::Open(const char* path) {
  data_ = OpenSampleData(path, info_, kLoopSearchFileCapacity);
  return data_ ? kFileOk : kFileCannotOpen;
}

uint32_t CLoopValueFile::BytesPerFrame() const {
  return mix_ ? 2 : info_.formatBlock.blockAlign;
}

uint32_t CLoopValueFile::BytesPerSecond() const {
  return mix_ ? 2 * info_.formatBlock.samplesPerSec : info_.formatBlock.avgBytesPerSec;
}

uint32_t CLoopValueFile::Channels() const {
  return mix_ ? 1 : static_cast<uint32_t>(info_.channels);
}

uint64_t CLoopValueFile::ToValueBytes(uint64_t dataBytes) const {
  return mix_ ? dataBytes / mix_->blockAlign * 2 : dataBytes;
}

uint64_t CLoopValueFile::ToDataBytes(uint64_t valueBytes) const {
  return mix_ ? valueBytes / 2 * mix_->blockAlign : valueBytes;
}

bool CLoopValueFile::Seek(uint64_t valueBytes) {
  if (!mix_) return data_->Seek(valueBytes) == 0;
  frame_ = valueBytes / 2;
  return frame_ <= TotalFrames(info_) && data_->Seek(frame_ * mix_->blockAlign) == 0;
}

uint32_t CLoopValueFile::Read(void* dst, uint32_t n) {
  if (!mix_) return data_->Read(dst, n);
  auto* out = static_cast<uint8_t*>(dst);
  uint32_t done = 0;
  const uint32_t align = mix_->blockAlign;
  frames_.resize(size_t{kMixFrames} * align);
  while (done + 2 <= n && frame_ < TotalFrames(info_)) {
    const auto count = static_cast<uint32_t>(
        std::min<uint64_t>({(n - done) / 2, kMixFrames, TotalFrames(info_) - frame_}));
    const uint32_t got = data_->Read(frames_.data(), count * align) / align;
    for (uint32_t f = 0; f < got; ++f, done += 2) {
      const int16_t value = MixFrame(frames_.data() + size_t{f} * align, *mix_);
      std::memcpy(out + done, &value, 2);  // little-endian host, as the file's values
    }
    frame_ += got;
    if (got < count) break;
  }
  return done;
}

}  // namespace snipora
