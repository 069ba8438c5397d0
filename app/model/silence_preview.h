#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audiofile/sound_format.h"
#include "ranges/labeled_range.h"
#include "ranges/sounds_between_silences.h"

namespace snipora {

// The sounds of the open file for the values of the silence dialog, kept up
// to date as the values change. The file is read on a worker thread only
// when the threshold changes or the minimum silence drops below the one
// read for; otherwise the silences already found are filtered (a longer
// minimum only drops runs) and the sounds follow at once. The results are
// exactly FindSoundsBetweenSilences's. The owner polls from its own thread;
// destruction cancels the worker and waits for it.
class CSilencePreview {
 public:
  CSilencePreview(std::string path, const SoundFormatInfo& format);
  ~CSilencePreview();
  CSilencePreview(const CSilencePreview&) = delete;
  CSilencePreview& operator=(const CSilencePreview&) = delete;

  // Asks for the sounds of `rules`. True when Sounds() holds them already;
  // false while the file is read for them (a read for other values is
  // cancelled first, one that serves these values goes on).
  bool Request(const ranges::SilenceRules& rules);
  // True once, when a read has ended since the last call: then Sounds()
  // holds the sounds of the values last asked for, or End() says why not.
  bool Poll();
  bool Reading() const { return worker_.joinable(); }
  // The part of the file the running read has covered, 0 to 1.
  double ReadShare() const;
  // The sounds of the values last asked for (empty until they are known).
  const std::vector<ranges::LabeledRange>& Sounds() const { return sounds_; }
  // How the last read ended (kDone before any).
  ranges::SilenceScanEnd End() const { return end_; }
  // Reads of the file started so far.
  uint32_t Reads() const { return reads_; }
  // Stops a running read and waits for it; the values asked for stay unanswered.
  void Cancel();

 private:
  // What the silences found hold: every silent run of at least minFrames
  // at the threshold.
  struct Scope {
    double thresholdDb = 0;
    uint64_t minFrames = 0;
    bool Serves(double threshold, uint64_t frames) const {
      return thresholdDb == threshold && minFrames <= frames;
    }
  };
  class Worker;

  void StartRead(Scope scope);
  // The sounds of the rules asked for, from the silences found.
  void Derive();

  const std::string path_;
  const SoundFormatInfo format_;
  const uint32_t rate_;
  const uint64_t totalFrames_;
  ranges::SilenceRules asked_;
  std::optional<Scope> found_;  // the scope of silences_
  std::vector<ranges::FrameSpan> silences_;
  std::vector<ranges::LabeledRange> sounds_;
  ranges::SilenceScanEnd end_ = ranges::SilenceScanEnd::kDone;
  uint32_t reads_ = 0;

  // The running read: its scope, result, progress and stop flag.
  Scope reading_;
  std::vector<ranges::FrameSpan> readSilences_;
  ranges::SilenceScanEnd readEnd_ = ranges::SilenceScanEnd::kDone;
  std::atomic<uint64_t> framesRead_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread worker_;
};

}  // namespace snipora
