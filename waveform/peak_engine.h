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

class ISampleData;

// The min/max summary of a sound file's samples: one pair per channel for
// every kFramesPerPeak frames, computed by worker threads that read the file
// through a sample source of their own (unbuffered; FLAC decoded). The file is cut into chunks that
// the workers take in turn, so that some read while others fold and the disk always has several
// requests waiting. The summary is ready from the start of the data up to
// ReadyFrames(); the GUI thread may read that part at any time (entries are
// written before the progress that covers them is published). Destruction
// cancels the workers and waits for them.
class CPeakEngine {
 public:
  static constexpr uint32_t kFramesPerPeak = 256;
  static constexpr uint32_t kWorkers = 4;

  // Starts at once. A file whose samples cannot be read (see CodecFor) starts
  // nothing and reports Supported() false.
  CPeakEngine(const std::string& path, const SoundFormatInfo& info);
  ~CPeakEngine();
  CPeakEngine(const CPeakEngine&) = delete;
  CPeakEngine& operator=(const CPeakEngine&) = delete;

  bool Supported() const { return codec_.has_value(); }
  uint32_t Channels() const { return codec_ ? codec_->shape.channels : 0; }
  uint64_t TotalFrames() const { return totalFrames_; }
  // Frames from the start whose summary is ready; TotalFrames() when done.
  uint64_t ReadyFrames() const;
  // True once the workers have stopped: done, cancelled, or the file could
  // not be read to its end (then ReadFailed()).
  bool Finished() const { return running_.load(std::memory_order_acquire) == 0; }
  bool ReadFailed() const { return readFailed_.load(std::memory_order_acquire); }

  // Min/max of `channel` over the summary entries that overlap frames
  // [first, last) and are ready; false when none is.
  bool Peak(uint32_t channel, uint64_t first, uint64_t last, PeakPair& out) const;

  // Asks the workers to stop and waits for them; the ready part stays readable.
  void Cancel();

 private:
  void Run(uint32_t worker, const std::string& path, const SoundFormatInfo& info);
  bool ComputeChunks(uint32_t worker, ISampleData& data);
  uint64_t ChunkCount() const;
  uint64_t ReadyEntries() const;

  std::optional<SampleCodec> codec_;
  uint64_t totalFrames_ = 0;
  uint64_t entryCount_ = 0;
  uint32_t entriesPerChunk_ = 1;
  std::unique_ptr<PeakPair[]> entries_;  // entry e of channel c at e * channels + c
  // Per worker: the next chunk it will compute; all its chunks before are done.
  std::atomic<uint64_t> nextChunk_[kWorkers];
  std::atomic<uint32_t> running_{0};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> readFailed_{false};
  std::thread workers_[kWorkers];
};

}  // namespace snipora
