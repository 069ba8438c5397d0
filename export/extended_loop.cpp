#include "export/extended_loop.h"

#include <algorithm>

#include "audiofile/extent_reader.h"
#include "audiofile/sound_units.h"
#include "export/fade.h"
#include "export/pending_output.h"
#include "export/piece_copier.h"
#include "platform/system/fs_ops.h"

namespace snipora {

namespace {

constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 4;

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

ExportOutcome WriteExtendedLoop(const ExtendedLoopJob& job, const std::string& output,
                                IExportProgress& progress) {
  const uint64_t fadeFrames = ExtendedLoopFadeFrames(job);
  const std::vector<ExportRange> ranges = ExtendedLoopRanges(job, fadeFrames);
  if (ranges.empty()) return ExportOutcome::BadRange;
  // Writing over the source would destroy what is being read.
  if (fsops::SameFile(output, job.sourcePath)) return ExportOutcome::OutputIsSource;
  const uint32_t blockAlign = job.format.formatBlock.blockAlign;
  uint64_t length = 0;
  std::vector<FileExtent> extents;
  for (const ExportRange& range : ranges) {
    const uint64_t bytes = FramesToBytes(range.endFrame - range.startFrame, blockAlign);
    extents.push_back(
        {static_cast<uint32_t>(job.format.dataOffset) + FramesToBytes(range.startFrame, blockAlign),
         bytes});
    length += bytes;
  }
  const std::optional<WaveContainer> container = ContainerFor(job.rf64, job.format, length);
  if (!container) return ExportOutcome::TooLarge;

  CExtentReader source(kReadBlockBytes, kReadBlocks);
  // The bytes are copied as the file stores them: a decoded source (FLAC) is not read here.
  if (job.format.decoderType != 0 || source.Open(job.sourcePath.c_str()) != 0) {
    return ExportOutcome::SourceFailed;
  }
  source.Start(std::move(extents));
  progress.SetOverallPosition(0);
  progress.SetOverallRange(1);
  CPendingOutput file(output, kExportRingBytes, job.forcedSectorSize);
  if (!file.Open()) return ExportOutcome::OutputFailed;
  WriteWaveHeader(file.File(), job.format, length, {}, *container);
  CPieceCopier copier(progress);
  copier.StartPiece(length);
  const uint64_t fadeBytes = FramesToBytes(fadeFrames, blockAlign);
  CopyResult result = copier.CopyRange(source, file.File(), length - fadeBytes, true);
  if (result == CopyResult::Done && fadeBytes > 0) {
    FadeRamp ramp = FadeRamp::ForFormat(fadeBytes, job.format.formatBlock);
    result = copier.FadeOut(source, file.File(), fadeBytes, ramp);
  }
  if (result != CopyResult::Done) return ExportOutcomeOf(result);
  WriteDataPad(file.File(), length);
  if (!file.Commit(&WaveFileMatchesHeader)) return ExportOutcome::WriteFailed;
  progress.SetOverallPosition(1);
  return ExportOutcome::Done;
}

}  // namespace snipora
