#include "export/extended_loop.h"

#include <algorithm>

#include "export/fade.h"

namespace snipora {

namespace {

bool LoopInsidePiece(const ExtendedLoopJob& job) {
  const uint32_t blockAlign = job.format.formatBlock.blockAlign;
  return blockAlign != 0 && job.format.dataOffset >= 0 && job.count > 0 &&
         job.piece.startFrame <= job.loopStartFrame && job.loopStartFrame <= job.loopEndFrame &&
         job.loopEndFrame < job.piece.endFrame &&
         job.piece.endFrame <= job.format.dataSize / blockAlign;
}

}  // namespace

std::vector<ExportRange> ExtendedLoopRanges(const ExtendedLoopJob& job, uint64_t fadeFrames) {
  if (!LoopInsidePiece(job)) return {};
  const ExportRange loop{job.loopStartFrame, job.loopEndFrame + 1};
  std::vector<ExportRange> ranges{{job.piece.startFrame, loop.endFrame}};
  ranges.insert(ranges.end(), job.count - 1, loop);
  for (uint64_t left = fadeFrames; left != 0;) {
    const uint64_t n = std::min(left, loop.endFrame - loop.startFrame);
    ranges.push_back({loop.startFrame, loop.startFrame + n});
    left -= n;
  }
  return ranges;
}

uint64_t ExtendedLoopFadeFrames(const ExtendedLoopJob& job) {
  const WaveFormatBlock& block = job.format.formatBlock;
  if (job.fadeMs == 0 || !CanFade(job.format) || block.blockAlign == 0) return 0;
  return FadeBytes(block.avgBytesPerSec, job.fadeMs, block.blockAlign, UINT64_MAX) /
         block.blockAlign;
}

ExportOutput ExtendedLoopOutput(const ExtendedLoopJob& job, std::string path) {
  ExportOutput output;
  output.path = std::move(path);
  const uint64_t fadeFrames = ExtendedLoopFadeFrames(job);
  output.ranges = ExtendedLoopRanges(job, fadeFrames);
  if (fadeFrames > 0) {
    output.fades.push_back({output.Frames() - fadeFrames, fadeFrames, FadeDirection::kOut});
  }
  return output;
}

namespace {

// The copy's ranges shown as one piece: one file bar over all of its bytes.
class OnePiece : public IExportProgress {
 public:
  OnePiece(IExportProgress& progress, uint64_t bytes) : progress_(progress), bytes_(bytes) {}

  void SetTotalLength(uint64_t bytes) override { progress_.SetTotalLength(bytes); }
  void SetFileRange(uint64_t rangeBytes) override {
    if (before_ == 0 && range_ == 0) progress_.SetFileRange(bytes_);
    before_ += range_;
    range_ = rangeBytes;
  }
  void SetFilePosition(uint64_t bytesDone) override {
    progress_.SetFilePosition(before_ + bytesDone);
  }
  void SetOverallRange(uint32_t ranges) override {
    ranges_ = ranges;
    progress_.SetOverallRange(1);
  }
  void SetOverallPosition(uint32_t rangesBegun) override {
    progress_.SetOverallPosition(ranges_ != 0 && rangesBegun >= ranges_ ? 1 : 0);
  }
  void Pump(bool mainWindowToo) override { progress_.Pump(mainWindowToo); }
  bool IsCancelled() const override { return progress_.IsCancelled(); }

 private:
  IExportProgress& progress_;
  uint64_t bytes_;
  uint64_t before_ = 0;  // of the ranges written before the current one
  uint64_t range_ = 0;
  uint32_t ranges_ = 0;
};

}  // namespace

ExportOutcome WriteExtendedLoop(const ExtendedLoopJob& job, const std::string& output,
                                IExportProgress& progress) {
  ExportPlan plan;
  plan.sourcePath = job.sourcePath;
  plan.format = job.format;
  plan.rf64 = job.rf64;
  plan.forcedSectorSize = job.forcedSectorSize;
  plan.outputs.push_back(ExtendedLoopOutput(job, output));
  if (plan.outputs[0].ranges.empty()) return ExportOutcome::BadRange;
  OnePiece piece(progress, DataLength(plan, plan.outputs[0]));
  return WriteExport(plan, piece);
}

}  // namespace snipora
