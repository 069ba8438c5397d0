#include "waveform/frame_reader.h"

#include <algorithm>

namespace snipora {

namespace {

// Enough for a screen of frames at the closest zoom the summary does not
// serve, in few requests.
constexpr uint32_t kRingBytes = 256 * 1024;

}  // namespace

CFrameReader::CFrameReader(const std::string& path, const SoundFormatInfo& info)
    : codec_(CodecFor(info)) {
  if (!codec_) return;
  totalFrames_ = info.dataSize / codec_->shape.blockAlign;
  // Only what is asked for: a view reads a few kilobytes per repaint.
  data_ = OpenSampleData(path, info, kRingBytes, false);
  if (!data_) codec_.reset();
}

uint32_t CFrameReader::Read(uint64_t first, uint32_t count, std::vector<float>& samples) {
  samples.clear();
  if (!codec_ || first >= totalFrames_) return 0;
  const FrameShape& shape = codec_->shape;
  const uint64_t frames = std::min<uint64_t>(count, totalFrames_ - first);
  if (data_->Seek(first * shape.blockAlign) != 0) return 0;
  bytes_.resize(frames * shape.blockAlign);
  const uint32_t got = data_->Read(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
  const uint32_t delivered = got / shape.blockAlign;
  samples.resize(size_t{delivered} * shape.channels);
  for (uint32_t f = 0; f < delivered; ++f) {
    const uint8_t* frame = bytes_.data() + size_t{f} * shape.blockAlign;
    for (uint32_t c = 0; c < shape.channels; ++c) {
      samples[size_t{f} * shape.channels + c] =
          codec_->decode(frame + size_t{c} * shape.bytesPerSample);
    }
  }
  return delivered;
}

}  // namespace snipora
