#include "export/export_job.h"

#include <algorithm>
#include <optional>

#include "audiofile/extent_reader.h"
#include "audiofile/sector_file.h"
#include "audiofile/sound_units.h"
#include "audiofile/wave_writer.h"
#include "export/fade.h"
#include "export/pending_output.h"
#include "export/piece_copier.h"
#include "platform/system/fs_ops.h"

namespace snipora {

namespace {

struct PieceGeometry {
  uint64_t filePosition;  // of the piece's first byte in the source
  uint64_t length;
};

// The source is read ahead of the copy, block by block, on a thread of its
// own: these blocks in flight at most.
constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 4;

PieceGeometry Geometry(const ExportJob& job, const ExportRange& range) {
  const uint32_t blockAlign = job.format.formatBlock.blockAlign;
  const uint64_t startByte = FramesToBytes(range.startFrame, blockAlign);
  return {static_cast<uint32_t>(job.format.dataOffset) + startByte,
          FramesToBytes(range.endFrame, blockAlign) - startByte};
}

// Every piece's bytes in the source, in the order they are written.
std::vector<FileExtent> SourceExtents(const ExportJob& job) {
  std::vector<FileExtent> extents;
  for (const ExportRange& range : job.ranges) {
    const PieceGeometry piece = Geometry(job, range);
    extents.push_back({piece.filePosition, piece.length});
  }
  return extents;
}

// Ranges come from text the user could have edited: check them in 64 bits
// before anything is written, so that no piece wraps around or reads past
// the sample data.
bool RangesValid(const ExportJob& job) {
  const uint32_t blockAlign = job.format.formatBlock.blockAlign;
  if (blockAlign == 0 || job.format.dataOffset < 0) return false;
  for (const ExportRange& range : job.ranges) {
    if (range.startFrame >= range.endFrame) return false;
    // A frame number this large would wrap the byte position.
    if (range.endFrame > job.format.dataSize / blockAlign) return false;
  }
  return true;
}

// The chunks between "fmt " and "data" of output `output` (none when not given).
const WaveExtraChunks& ExtraChunks(const ExportJob& job, size_t output) {
  static const WaveExtraChunks kNone;
  return output < job.extraChunks.size() ? job.extraChunks[output] : kNone;
}

// The container of an output of dataLength bytes, if the job allows one.
std::optional<WaveContainer> Container(const ExportJob& job, uint64_t dataLength,
                                       const WaveExtraChunks& extraChunks) {
  return ContainerFor(job.rf64, job.format, dataLength, static_cast<uint32_t>(extraChunks.size()));
}

// The bytes faded at the end of an output of `length` sample bytes.
uint64_t OutputFadeBytes(const ExportJob& job, uint64_t length) {
  if (job.fadeMs == 0 || !CanFade(job.format)) return 0;
  const WaveFormatBlock& format = job.format.formatBlock;
  return FadeBytes(format.avgBytesPerSec, job.fadeMs, format.blockAlign, length);
}

// The fade over the last fadeBytes of an output; none for 0 bytes.
std::optional<FadeRamp> RampOf(const ExportJob& job, uint64_t fadeBytes) {
  if (fadeBytes == 0) return std::nullopt;
  return FadeRamp::ForFormat(fadeBytes, job.format.formatBlock);
}

// Copies one piece, the source's next extent, to the output's end; from its
// byte fadeFrom on (if that lies inside it) on the output's fade ramp.
ExportOutcome WritePiece(const PieceGeometry& piece, uint64_t fadeFrom,
                         std::optional<FadeRamp>& ramp, CExtentReader& source, CSectorFile& output,
                         CPieceCopier& copier) {
  copier.StartPiece(piece.length);
  const uint64_t plain = ramp ? std::min(fadeFrom, piece.length) : piece.length;
  CopyResult result = copier.CopyRange(source, output, plain, true);
  if (result == CopyResult::Done && plain < piece.length) {
    result = copier.FadeOut(source, output, piece.length - plain, *ramp);
  }
  return ExportOutcomeOf(result);
}

// Keeps a finished output only when its size is what its header states: a
// copy that fell short must not leave a damaged file that looks complete.
bool KeepFinished(CPendingOutput& output) {
  return output.Commit(&WaveFileMatchesHeader);
}

// Checks what can be checked before anything is written, then opens the
// source and starts reading it.
ExportOutcome Prepare(const ExportJob& job, const std::vector<std::string>& outputs,
                      CExtentReader& source) {
  if (!RangesValid(job)) return ExportOutcome::BadRange;
  for (const std::string& output : outputs) {
    // Writing over the source would destroy what is being read.
    if (fsops::SameFile(output, job.sourcePath)) return ExportOutcome::OutputIsSource;
  }
  // The bytes are copied as the file stores them: a decoded source (FLAC) is not read here.
  if (job.format.decoderType != 0 || source.Open(job.sourcePath.c_str()) != 0) {
    return ExportOutcome::SourceFailed;
  }
  source.Start(SourceExtents(job));
  return ExportOutcome::Done;
}

}  // namespace

uint64_t TotalDataLength(const ExportJob& job) {
  uint64_t total = 0;
  for (const ExportRange& range : job.ranges) {
    total += FramesToBytes(range.endFrame - range.startFrame, job.format.formatBlock.blockAlign);
  }
  return total;
}

bool JoinedFileFits(const ExportJob& job) {
  return Container(job, TotalDataLength(job), ExtraChunks(job, 0)).has_value();
}

bool PiecesFit(const ExportJob& job) {
  const uint32_t blockAlign = job.format.formatBlock.blockAlign;
  for (size_t i = 0; i < job.ranges.size(); ++i) {
    const ExportRange& range = job.ranges[i];
    if (range.endFrame > range.startFrame &&
        !Container(job, FramesToBytes(range.endFrame - range.startFrame, blockAlign),
                   ExtraChunks(job, i))) {
      return false;
    }
  }
  return true;
}

ExportOutcome WriteSplitPieces(const ExportJob& job, const std::vector<std::string>& outputs,
                               IExportProgress& progress) {
  if (outputs.size() != job.ranges.size()) return ExportOutcome::BadRange;
  if (!PiecesFit(job)) return ExportOutcome::TooLarge;
  CExtentReader source(kReadBlockBytes, kReadBlocks);
  if (const ExportOutcome ready = Prepare(job, outputs, source); ready != ExportOutcome::Done) {
    return ready;
  }
  const auto count = static_cast<uint32_t>(job.ranges.size());
  progress.SetOverallPosition(0);
  progress.SetOverallRange(count);
  CPieceCopier copier(progress);
  for (uint32_t i = 0; i < count; ++i) {
    progress.SetOverallPosition(i);
    const PieceGeometry piece = Geometry(job, job.ranges[i]);
    CPendingOutput output(outputs[i], kExportRingBytes, job.forcedSectorSize);
    if (!output.Open()) return ExportOutcome::OutputFailed;
    const WaveExtraChunks& extraChunks = ExtraChunks(job, i);
    WriteWaveHeader(output.File(), job.format, piece.length, extraChunks,
                    *Container(job, piece.length, extraChunks));
    const uint64_t fadeBytes = OutputFadeBytes(job, piece.length);
    std::optional<FadeRamp> ramp = RampOf(job, fadeBytes);
    const ExportOutcome written =
        WritePiece(piece, piece.length - fadeBytes, ramp, source, output.File(), copier);
    if (written != ExportOutcome::Done) return written;
    WriteDataPad(output.File(), piece.length);
    if (!KeepFinished(output)) return ExportOutcome::WriteFailed;
  }
  progress.SetOverallPosition(count);
  return ExportOutcome::Done;
}

ExportOutcome WriteJoinedFile(const ExportJob& job, const std::string& outputPath,
                              IExportProgress& progress) {
  if (!JoinedFileFits(job)) return ExportOutcome::TooLarge;
  CExtentReader source(kReadBlockBytes, kReadBlocks);
  if (const ExportOutcome ready = Prepare(job, {outputPath}, source);
      ready != ExportOutcome::Done) {
    return ready;
  }
  const auto count = static_cast<uint32_t>(job.ranges.size());
  progress.SetOverallPosition(0);
  progress.SetOverallRange(count);
  CPendingOutput output(outputPath, kExportRingBytes, job.forcedSectorSize);
  if (!output.Open()) return ExportOutcome::OutputFailed;
  // Placeholder lengths, patched once every piece is in.
  const WaveExtraChunks& extraChunks = ExtraChunks(job, 0);
  const WaveContainer container = *Container(job, TotalDataLength(job), extraChunks);
  WriteWaveHeader(output.File(), job.format, 0, extraChunks, container);
  CPieceCopier copier(progress);
  // The fade is the end of the joined file, over as many pieces as it takes.
  const uint64_t length = TotalDataLength(job);
  const uint64_t fadeBytes = OutputFadeBytes(job, length);
  std::optional<FadeRamp> ramp = RampOf(job, fadeBytes);
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    progress.SetOverallPosition(i);
    const PieceGeometry piece = Geometry(job, job.ranges[i]);
    const uint64_t fadeFrom = length - fadeBytes > total ? length - fadeBytes - total : 0;
    total += piece.length;
    const ExportOutcome written = WritePiece(piece, fadeFrom, ramp, source, output.File(), copier);
    if (written != ExportOutcome::Done) return written;
  }
  WriteDataPad(output.File(), total);
  PatchWaveLengths(output.File(), job.format, total, static_cast<uint32_t>(extraChunks.size()),
                   container);
  if (!KeepFinished(output)) return ExportOutcome::WriteFailed;
  progress.SetOverallPosition(count);
  return ExportOutcome::Done;
}

}  // namespace snipora
