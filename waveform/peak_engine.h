#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "audiofile/sound_format.h"
#include "waveform/sample_codec.h"

namespace snipora {

class CSectorFile;

// The min/max summary of a sound file's samples: one pair per channel for
// every kFramesPerPeak frames, computed on a worker thread that reads the
// file through CSectorFile. The summary fills from the start of the data; the
// GUI thread may read whatever is ready at any time (entries are written
// before the ready count that covers them is published). Destruction cancels
// the worker and waits for it.
class CPeakEngine {
 public:
  static constexpr uint32_t kFramesPerPeak = 256;

  // Starts at once. A file whose samples cannot be read straight from it
  // (see CodecFor) starts nothing and reports Supported() false.
  CPeakEngine(const std::string& path, const SoundFormatInfo& info);
  ~CPeakEngine();
  CPeakEngine(const CPeakEngine&) = delete;
  CPeakEngine& operator=(const CPeakEngine&) = delete;

  bool Supported() const { return codec_.has_value(); }
  uint32_t Channels() const { return codec_ ? codec_->shape.channels : 0; }
  uint64_t TotalFrames() const { return totalFrames_; }
  // Frames from the start whose summary is ready; TotalFrames() when done.
  uint64_t ReadyFrames() const;
  // True once the worker has stopped: done, cancelled, or the file could not
  // be read to its end (then ReadFailed()).
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  bool ReadFailed() const { return readFailed_.load(std::memory_order_acquire); }

  // Min/max of `channel` over the summary entries that overlap frames
  // [first, last) and are ready; false when none is.
  bool Peak(uint32_t channel, uint64_t first, uint64_t last, PeakPair& out) const;

  // Asks the worker to stop and waits for it; the ready part stays readable.
  void Cancel();

 private:
  void Run(std::string path, uint32_t dataOffset);
  bool ComputeFrom(CSectorFile& file);

  std::optional<SampleCodec> codec_;
  uint64_t totalFrames_ = 0;
  uint64_t entryCount_ = 0;
  std::unique_ptr<PeakPair[]> entries_;  // entry e of channel c at e * channels + c
  std::atomic<uint64_t> readyEntries_{0};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> readFailed_{false};
  std::thread worker_;
};

}  // namespace snipora
