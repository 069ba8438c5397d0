#include "cli/extended_copies.h"

#include "audiofile/sample_loops.h"
#include "export/fade.h"

namespace snipora::cli {

namespace {

// The progress of one copy as piece `index` of the source.
class CopyProgress : public IExportProgress {
 public:
  CopyProgress(IExportProgress& run, uint32_t index) : run_(run), index_(index) {}
  void SetFileRange(uint64_t bytes) override { run_.SetFileRange(bytes); }
  void SetFilePosition(uint64_t bytes) override { run_.SetFilePosition(bytes); }
  void SetOverallRange(uint32_t) override {}
  void SetOverallPosition(uint32_t done) override { run_.SetOverallPosition(index_ + done); }
  void Pump(bool mainWindowToo) override { run_.Pump(mainWindowToo); }
  bool IsCancelled() const override { return run_.IsCancelled(); }

 private:
  IExportProgress& run_;
  uint32_t index_;
};

}  // namespace

std::optional<Refusal> PlanExtendedCopies(const ExtendLoopOption& option, const ExportJob& job,
                                          std::vector<ExtendedLoopJob>& copies) {
  // The copy is made of the bytes the file stores; a decoded source has none to copy.
  if (job.format.decoderType != 0) {
    return Refusal{
        "--extend-loop copies the samples as a WAVE or NWA file stores them; it "
        "cannot copy a " +
        std::string(job.format.typeName) + " source"};
  }
  if (option.fadeMs > 0 && !CanFade(job.format)) {
    return Refusal{"--extend-loop cannot fade out the samples of this source (" +
                   std::to_string(job.format.formatBlock.bitsPerSample) +
                   " bits per sample); give COUNT:0 for no fade"};
  }
  copies.clear();
  for (size_t i = 0; i < job.ranges.size(); ++i) {
    const ExportRange& piece = job.ranges[i];
    const std::optional<SampleChunk> chunk =
        i < job.extraChunks.size() ? ParseSampleChunkBytes(job.extraChunks[i]) : std::nullopt;
    if (!chunk || chunk->loops.empty()) {
      return Refusal{"--extend-loop: range " + std::to_string(piece.startFrame) + ":" +
                     std::to_string(piece.endFrame) +
                     " (frames) holds no loop; give --loop START:END or --loop auto"};
    }
    ExtendedLoopJob copy;
    copy.sourcePath = job.sourcePath;
    copy.format = job.format;
    copy.piece = piece;
    copy.loopStartFrame = piece.startFrame + chunk->loops.front().start;
    copy.loopEndFrame = piece.startFrame + chunk->loops.front().end;
    copy.count = option.count;
    copy.fadeMs = option.fadeMs;
    copy.rf64 = job.rf64;
    copies.push_back(std::move(copy));
  }
  return std::nullopt;
}

std::vector<ExportRange> CopyRanges(const ExtendedLoopJob& copy) {
  return ExtendedLoopRanges(copy, ExtendedLoopFadeFrames(copy));
}

ExportOutcome WriteExtendedCopies(const std::vector<ExtendedLoopJob>& copies,
                                  const std::vector<std::string>& paths,
                                  IExportProgress& progress) {
  progress.SetOverallRange(static_cast<uint32_t>(copies.size()));
  for (size_t i = 0; i < copies.size(); ++i) {
    CopyProgress piece(progress, static_cast<uint32_t>(i));
    const ExportOutcome outcome = WriteExtendedLoop(copies[i], paths[i], piece);
    if (outcome != ExportOutcome::Done) return outcome;
  }
  return ExportOutcome::Done;
}

}  // namespace snipora::cli
