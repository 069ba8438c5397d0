#include "app/model/silence_preview.h"

#include <algorithm>

#include "audiofile/sound_units.h"

namespace snipora {

namespace {

uint64_t MinSilenceFrames(const ranges::SilenceRules& rules, uint32_t rate) {
  // A minimum of 0 finds the same runs as 1 (see FindSilences).
  return std::max<uint64_t>(1, ranges::FramesForMilliseconds(rules.minSilenceMs, rate));
}

}  // namespace

// Tells the worker's progress to the owner and its stop flag to the scan.
class CSilencePreview::Worker : public ranges::IScanProgress {
 public:
  Worker(std::atomic<uint64_t>& framesRead, const std::atomic<bool>& stop)
      : framesRead_(framesRead), stop_(stop) {}
  void Advance(uint64_t framesDone, uint64_t) override {
    framesRead_.store(framesDone, std::memory_order_relaxed);
  }
  bool IsCancelled() const override { return stop_.load(std::memory_order_relaxed); }

 private:
  std::atomic<uint64_t>& framesRead_;
  const std::atomic<bool>& stop_;
};

CSilencePreview::CSilencePreview(std::string path, const SoundFormatInfo& format)
    : path_(std::move(path)),
      format_(format),
      rate_(format.formatBlock.samplesPerSec),
      totalFrames_(TotalFrames(format)) {}

CSilencePreview::~CSilencePreview() {
  Cancel();
}

bool CSilencePreview::Request(const ranges::SilenceRules& rules) {
  asked_ = rules;
  const uint64_t minFrames = MinSilenceFrames(rules, rate_);
  if (found_ && found_->Serves(rules.thresholdDb, minFrames)) {
    Cancel();  // a read for other values is no longer wanted
    Derive();
    return true;
  }
  sounds_.clear();
  if (Reading() && reading_.Serves(rules.thresholdDb, minFrames)) return false;
  Cancel();
  StartRead({rules.thresholdDb, minFrames});
  return false;
}

void CSilencePreview::StartRead(Scope scope) {
  reading_ = scope;
  readSilences_.clear();
  framesRead_.store(0, std::memory_order_relaxed);
  finished_.store(false, std::memory_order_relaxed);
  ++reads_;
  worker_ = std::thread([this, scope] {
    Worker progress(framesRead_, stop_);
    readEnd_ = ranges::FindSilences(path_, format_, scope.thresholdDb, scope.minFrames, progress,
                                    readSilences_);
    finished_.store(true, std::memory_order_release);
  });
}

bool CSilencePreview::Poll() {
  if (!Reading() || !finished_.load(std::memory_order_acquire)) return false;
  worker_.join();
  end_ = readEnd_;
  if (end_ == ranges::SilenceScanEnd::kDone) {
    found_ = reading_;
    silences_ = std::move(readSilences_);
    Derive();
  }
  return true;
}

double CSilencePreview::ReadShare() const {
  if (!Reading() || totalFrames_ == 0) return 0;
  return static_cast<double>(framesRead_.load(std::memory_order_relaxed)) /
         static_cast<double>(totalFrames_);
}

void CSilencePreview::Cancel() {
  if (!Reading()) return;
  stop_.store(true, std::memory_order_relaxed);
  worker_.join();
  stop_.store(false, std::memory_order_relaxed);
}

void CSilencePreview::Derive() {
  const uint64_t minFrames = MinSilenceFrames(asked_, rate_);
  std::vector<ranges::FrameSpan> runs;
  std::copy_if(
      silences_.begin(), silences_.end(), std::back_inserter(runs),
      [minFrames](const ranges::FrameSpan& run) { return run.end - run.start >= minFrames; });
  sounds_ = ranges::SoundsBetween(runs, totalFrames_,
                                  ranges::FramesForMilliseconds(asked_.minSoundMs, rate_),
                                  ranges::FramesForMilliseconds(asked_.padMs, rate_));
}

}  // namespace snipora
