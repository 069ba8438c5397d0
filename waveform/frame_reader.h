#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/sample_source.h"
#include "audiofile/sound_format.h"
#include "waveform/sample_codec.h"

namespace snipora {

// Reads a few frames of a sound file directly (FLAC decoded), for views
// closer than the peak summary's resolution. Keeps the file open; one thread
// only.
class CFrameReader {
 public:
  // Opens the file at once; Read delivers nothing when that failed or the
  // samples cannot be read (see CodecFor).
  CFrameReader(const std::string& path, const SoundFormatInfo& info);

  uint32_t Channels() const { return codec_ ? codec_->shape.channels : 0; }

  // Frames [first, first + count), cut at the end of the data, decoded into
  // samples (frame f of channel c at (f - first) * Channels() + c). Returns
  // the number of frames delivered.
  uint32_t Read(uint64_t first, uint32_t count, std::vector<float>& samples);

 private:
  std::optional<SampleCodec> codec_;
  uint64_t totalFrames_ = 0;
  std::unique_ptr<ISampleData> data_;
  std::vector<uint8_t> bytes_;
};

}  // namespace snipora
