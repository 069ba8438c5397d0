#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "audiofile/pcm_samples.h"
#include "audiofile/sample_source.h"
#include "audiofile/sound_format.h"

// The 16-bit values the loop search compares, read from a sound file (FLAC
// decoded): a 16-bit file's samples as stored (every channel's, interleaved),
// any other PCM file as the mono mix of each frame at 16-bit precision (the mean
// of its channels, clipped to +-32767 as -32768 matches nothing), so that the
// tolerances mean the same for every format. The values are addressed as
// the bytes of a 16-bit file ("value bytes"): a 16-bit file's own data
// positions, or two bytes per frame for the mix.
namespace snipora {

class CLoopValueFile {
 public:
  explicit CLoopValueFile(const SoundFormatInfo& info);
  CLoopValueFile(const CLoopValueFile&) = delete;
  CLoopValueFile& operator=(const CLoopValueFile&) = delete;

  // Whether the file's values can be searched: 16 bits per sample, or plain
  // PCM of another width (8, 24, 32-bit integers, 32/64-bit floats).
  bool Searchable() const;
  // True when the values are the mono mix (not 16 bits per sample).
  bool Mixed() const { return mix_.has_value(); }

  // Opens the file for reading through a ring of kLoopSearchFileCapacity
  // bytes. 0 on success, 2 when it cannot be opened (or decoded).
  int Open(const char* path);

  // Value bytes per frame of the file, and per second.
  uint32_t BytesPerFrame() const;
  uint32_t BytesPerSecond() const;
  // Channels as far as the progress counts them (1 for the mix).
  uint32_t Channels() const;
  // A byte position in the file's sample data as a value-byte position (the
  // mix: the frame it lies in).
  uint64_t ToValueBytes(uint64_t dataBytes) const;
  // A distance in value bytes as bytes of the file's sample data.
  uint64_t ToDataBytes(uint64_t valueBytes) const;

  // Moves to a value-byte position; false when it lies outside the file.
  bool Seek(uint64_t valueBytes);
  // Reads up to n bytes of values (n even for the mix). A 16-bit file may
  // deliver what follows its data chunk; the mix ends with the data.
  uint32_t Read(void* dst, uint32_t n);

 private:
  SoundFormatInfo info_;
  std::optional<PcmLayout> mix_;
  std::unique_ptr<ISampleData> data_;
  uint64_t frame_ = 0;  // the mix: next frame to read
  std::vector<uint8_t> frames_;
};

}  // namespace snipora
