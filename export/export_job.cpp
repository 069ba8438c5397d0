#include "export/export_job.h"

#include <memory>
#include <optional>

#include "audiofile/sample_source.h"
#include "audiofile/sector_file.h"
#include "audiofile/sound_units.h"
#include "audiofile/wave_writer.h"
#include "export/fade.h"
#include "export/flac_pieces.h"
#include "export/pending_output.h"
#include "export/piece_copier.h"
#include "platform/system/fs_ops.h"

namespace snipora {

namespace {

// The source is read ahead of the copy, block by block, on a thread of its
// own: these blocks in flight at most.
constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 4;

// Every range of the outputs, in the order they are written.
std::vector<FrameStretch> SourceSpans(const ExportPlan& plan) {
  std::vector<FrameStretch> spans;
  for (const ExportOutput& output : plan.outputs) {
    const std::vector<FrameStretch> own = SourceStretches(output.ranges);
    spans.insert(spans.end(), own.begin(), own.end());
  }
  return spans;
}

// Ranges come from text the user could have edited: check them in 64 bits
// before anything is written, so that no piece wraps around or reads past
// the sample data.
bool RangesValid(const ExportPlan& plan) {
  const uint32_t blockAlign = plan.format.formatBlock.blockAlign;
  if (blockAlign == 0 || plan.format.dataOffset < 0) return false;
  for (const ExportOutput& output : plan.outputs) {
    if (output.ranges.empty()) return false;
    for (const ExportRange& range : output.ranges) {
      if (range.startFrame >= range.endFrame) return false;
      // A frame number this large would wrap the byte position.
      if (range.endFrame > plan.format.dataSize / blockAlign) return false;
    }
  }
  return true;
}

// Checks what can be checked before anything is written, then opens the
// source and starts reading it: plain data as the file stores it, read ahead
// on a thread of its own; a FLAC source decoded as it is taken.
ExportOutcome Prepare(const ExportPlan& plan, std::unique_ptr<ISampleRuns>& source) {
  if (!OutputsFit(plan)) return ExportOutcome::TooLarge;
  if (!RangesValid(plan)) return ExportOutcome::BadRange;
  for (const ExportOutput& output : plan.outputs) {
    // Writing over the source would destroy what is being read.
    if (fsops::SameFile(output.path, plan.sourcePath)) return ExportOutcome::OutputIsSource;
  }
  source = StartSampleRuns(plan.sourcePath, plan.format, SourceSpans(plan), kReadBlockBytes,
                           kReadBlocks);
  return source ? ExportOutcome::Done : ExportOutcome::SourceFailed;
}

// Copies the output frames [frame, end), the source's next extent, to the
// output's end: stretches outside the fades as they are, the others faded.
ExportOutcome CopyFrames(uint64_t frame, uint64_t end, uint32_t blockAlign,
                         const std::optional<OutputFades>& fades, ISampleRuns& source,
                         CSectorFile& output, CPieceCopier& copier) {
  copier.StartPiece(FramesToBytes(end - frame, blockAlign));
  while (frame < end) {
    bool faded = false;
    const uint64_t stretchEnd = fades ? fades->StretchEnd(frame, end, faded) : end;
    const uint64_t bytes = FramesToBytes(stretchEnd - frame, blockAlign);
    const CopyResult result = faded ? copier.CopyFaded(source, output, bytes, *fades, frame)
                                    : copier.CopyRange(source, output, bytes, true);
    if (result != CopyResult::Done) return ExportOutcomeOf(result);
    frame = stretchEnd;
  }
  return ExportOutcome::Done;
}

// Writes one output; rangesBegun counts on over its ranges.
ExportOutcome WriteOutput(const ExportPlan& plan, const ExportOutput& planned, ISampleRuns& source,
                          CPieceCopier& copier, IExportProgress& progress, uint32_t& rangesBegun) {
  const SoundFormatInfo& format = plan.format;
  const uint32_t blockAlign = format.formatBlock.blockAlign;
  CPendingOutput output(planned.path, kExportRingBytes, plan.forcedSectorSize);
  if (!output.Open()) return ExportOutcome::OutputFailed;
  const WaveExtraChunks extraChunks = planned.ExtraChunks();
  const auto extraBytes = static_cast<uint32_t>(extraChunks.size());
  const uint64_t length = DataLength(plan, planned);
  const WaveContainer container = *ContainerFor(plan.rf64, format, length, extraBytes);
  // A file of several ranges starts with placeholder lengths, patched once
  // every range is in.
  const bool joined = planned.ranges.size() > 1;
  WriteWaveHeader(output.File(), format, joined ? 0 : length, extraChunks, container);
  std::optional<OutputFades> fades;
  if (!planned.fades.empty()) {
    fades.emplace(FrameScaler::ForFormat(format.formatBlock), planned.fades);
  }
  uint64_t frame = 0;
  for (const ExportRange& range : planned.ranges) {
    progress.SetOverallPosition(rangesBegun++);
    const uint64_t end = frame + range.endFrame - range.startFrame;
    const ExportOutcome copied =
        CopyFrames(frame, end, blockAlign, fades, source, output.File(), copier);
    if (copied != ExportOutcome::Done) return copied;
    frame = end;
  }
  WriteDataPad(output.File(), length);
  if (joined) PatchWaveLengths(output.File(), format, length, extraBytes, container);
  // Kept only when its size is what its header states: a copy that fell
  // short must not leave a damaged file that looks complete.
  if (!output.Commit(&WaveFileMatchesHeader)) return ExportOutcome::WriteFailed;
  return ExportOutcome::Done;
}

// The plan's outputs written as FLAC pieces, side by side.
ExportOutcome WriteFlacOutputs(const ExportPlan& plan, IExportProgress& progress) {
  const FlacEncoding encoding{plan.sourcePath, plan.format, plan.flacLevel};
  std::vector<FlacPiece> pieces;
  for (const ExportOutput& output : plan.outputs) {
    pieces.push_back({output.ranges, output.path, output.comments, output.fades});
  }
  return WriteFlacPieces(encoding, pieces, progress);
}

}  // namespace

ExportOutcome WriteExport(const ExportPlan& plan, IExportProgress& progress) {
  if (!plan.outputs.empty() && plan.outputs.front().format == OutputFormat::kFlac) {
    return WriteFlacOutputs(plan, progress);
  }
  std::unique_ptr<ISampleRuns> source;
  if (const ExportOutcome ready = Prepare(plan, source); ready != ExportOutcome::Done) {
    return ready;
  }
  uint32_t ranges = 0;
  for (const ExportOutput& output : plan.outputs)
    ranges += static_cast<uint32_t>(output.ranges.size());
  progress.SetOverallPosition(0);
  progress.SetOverallRange(ranges);
  CPieceCopier copier(progress);
  uint32_t rangesBegun = 0;
  for (size_t i = 0; i < plan.outputs.size(); ++i) {
    const ExportOutcome written =
        WriteOutput(plan, plan.outputs[i], *source, copier, progress, rangesBegun);
    if (written != ExportOutcome::Done) {
      if (written != ExportOutcome::Cancelled) progress.OutputFailed(i);
      return written;
    }
    progress.OutputWritten(i);
  }
  progress.SetOverallPosition(ranges);
  return ExportOutcome::Done;
}

}  // namespace snipora
