#include "export/flac_pieces.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "audiofile/sound_units.h"
#include "platform/system/fs_ops.h"

namespace snipora {

namespace {

// How often the calling thread shows progress and looks for a cancel.
constexpr std::chrono::milliseconds kPumpInterval{40};

// What the check before writing finds wrong, if anything.
std::optional<ExportOutcome> Refusal(const FlacEncoding& encoding,
                                     const std::vector<FlacPiece>& pieces) {
  if (!CanWriteFlac(encoding.format)) return ExportOutcome::SourceFailed;
  const uint64_t frames = TotalFrames(encoding.format);
  for (const FlacPiece& piece : pieces) {
    if (piece.ranges.empty()) return ExportOutcome::BadRange;
    for (const ExportRange& range : piece.ranges) {
      if (range.startFrame >= range.endFrame || range.endFrame > frames) {
        return ExportOutcome::BadRange;
      }
    }
  }
  for (const FlacPiece& piece : pieces) {
    // Writing over the source would destroy what is being read.
    if (fsops::SameFile(piece.outputPath, encoding.sourcePath)) {
      return ExportOutcome::OutputIsSource;
    }
  }
  return std::nullopt;
}

// The pieces shared by the workers, and how they ended.
class PieceQueue {
 public:
  PieceQueue(const FlacEncoding& encoding, const std::vector<FlacPiece>& pieces)
      : encoding_(encoding), pieces_(pieces) {}

  // Writes pieces until none is left or the work stops.
  void Work() {
    for (;;) {
      const size_t i = next_.fetch_add(1);
      if (i >= pieces_.size() || stop_.load()) break;
      const ExportOutcome outcome = WriteFlacPiece(encoding_, pieces_[i], bytesDone_, stop_);
      if (outcome == ExportOutcome::Done) {
        const std::lock_guard lock(mutex_);
        written_.push_back(i);
      } else {
        Fail(i, outcome);
      }
    }
    const std::lock_guard lock(mutex_);
    --running_;
    ended_.notify_all();
  }

  void Start(uint32_t threads) {
    running_ = threads;
    for (uint32_t t = 0; t < threads; ++t) workers_.emplace_back(&PieceQueue::Work, this);
  }
  // Waits up to `interval` for all workers to end; true once they have.
  bool WaitForEnd(std::chrono::milliseconds interval) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, interval, [&] { return running_ == 0; });
  }
  void Join() {
    for (std::thread& worker : workers_) worker.join();
  }
  void Stop() { stop_.store(true); }

  uint64_t BytesDone() const { return bytesDone_.load(std::memory_order_relaxed); }
  size_t PiecesBegun() const { return std::min(next_.load(), pieces_.size()); }
  // The pieces finished since the last call, in the order they finished.
  std::vector<size_t> TakeWritten() {
    const std::lock_guard lock(mutex_);
    return std::exchange(written_, {});
  }
  std::optional<ExportOutcome> Failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
  }
  size_t FailedPiece() const {
    const std::lock_guard lock(mutex_);
    return failedPiece_;
  }

 private:
  void Fail(size_t piece, ExportOutcome outcome) {
    const std::lock_guard lock(mutex_);
    // A piece stopped because another failed reports Cancelled: the first
    // failure is the one to tell.
    if (!failure_ && outcome != ExportOutcome::Cancelled) {
      failure_ = outcome;
      failedPiece_ = piece;
    }
    stop_.store(true);
  }

  const FlacEncoding& encoding_;
  const std::vector<FlacPiece>& pieces_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> bytesDone_{0};
  mutable std::mutex mutex_;
  std::condition_variable ended_;
  uint32_t running_ = 0;
  std::vector<size_t> written_;
  std::optional<ExportOutcome> failure_;
  size_t failedPiece_ = 0;
  std::vector<std::thread> workers_;
};

}  // namespace

ExportOutcome WriteFlacPieces(const FlacEncoding& encoding, const std::vector<FlacPiece>& pieces,
                              IExportProgress& progress, uint32_t threads) {
  if (const std::optional<ExportOutcome> refused = Refusal(encoding, pieces)) return *refused;
  uint64_t total = 0;
  // rangesBefore[i]: the ranges of the pieces before piece i.
  std::vector<uint32_t> rangesBefore{0};
  for (const FlacPiece& piece : pieces) {
    total += FlacPieceBytes(encoding, piece);
    rangesBefore.push_back(rangesBefore.back() + static_cast<uint32_t>(piece.ranges.size()));
  }
  const auto count = static_cast<uint32_t>(pieces.size());
  progress.SetOverallPosition(0);
  progress.SetOverallRange(rangesBefore.back());
  progress.SetFileRange(total);
  progress.SetFilePosition(0);
  // A cancel pressed before the work begins stops it before anything is
  // written, however fast the pieces would be done.
  progress.Pump(true);
  if (progress.IsCancelled()) return ExportOutcome::Cancelled;
  // One more than the cores: while a worker waits for the disk (its source's
  // unbuffered reads, the fsync that ends each piece) the cores stay busy.
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency()) + 1;
  PieceQueue queue(encoding, pieces);
  queue.Start(std::min(threads, std::max(count, 1u)));
  size_t written = 0;
  const auto reportWritten = [&] {
    for (const size_t piece : queue.TakeWritten()) {
      progress.OutputWritten(piece);
      ++written;
    }
  };
  bool cancelled = false;
  while (!queue.WaitForEnd(kPumpInterval)) {
    progress.SetFilePosition(queue.BytesDone());
    progress.SetOverallPosition(rangesBefore[queue.PiecesBegun()]);
    reportWritten();
    progress.Pump(true);
    if (!cancelled && progress.IsCancelled()) {
      cancelled = true;
      queue.Stop();
    }
  }
  queue.Join();
  reportWritten();
  if (const std::optional<ExportOutcome> failure = queue.Failure()) {
    progress.OutputFailed(queue.FailedPiece());
    return *failure;
  }
  // A cancel that came after the last piece was finished stopped nothing.
  if (written < pieces.size()) return ExportOutcome::Cancelled;
  progress.SetFilePosition(total);
  progress.SetOverallPosition(rangesBefore.back());
  return ExportOutcome::Done;
}

}  // namespace snipora
