#include "cli/cut_runner.h"

#include <optional>

#include "audiofile/paths.h"
#include "audiofile/sound_units.h"
#include "cli/cli_args.h"
#include "cli/label_file.h"
#include "cli/loop_points.h"
#include "cli/refusal.h"
#include "cli/source_file.h"
#include "cli/terminal_progress.h"
#include "export/export_job.h"
#include "export/fade.h"
#include "export/output_names.h"
#include "export/split_folder.h"
#include "platform/system/atomic_file.h"
#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

void PrintInfo(std::ostream& out, const SoundFormatInfo& info) {
  const WaveFormatBlock& f = info.formatBlock;
  out << "type=" << info.typeName << "\n"
      << "format_tag=" << f.formatTag << "\n"
      << "channels=" << f.channels << "\n"
      << "sample_rate=" << f.samplesPerSec << "\n"
      << "bits_per_sample=" << f.bitsPerSample << "\n"
      << "block_align=" << f.blockAlign << "\n"
      << "bytes_per_second=" << f.avgBytesPerSec << "\n"
      << "data_offset=" << info.dataOffset << "\n"
      << "data_size=" << info.dataSize << "\n"
      << "frames=" << info.lengthFrames << "\n"
      << "milliseconds=" << info.lengthMs << "\n"
      << "valid_bits=" << info.validBits << "\n"
      << "channel_mask=0x" << std::hex << info.channelMask << std::dec << "\n"
      << "sub_format=" << (CodingOf(f) == SampleCoding::kFloat ? "float" : "pcm") << "\n";
}

uint64_t FrameCount(const SoundFormatInfo& info) {
  return TotalFrames(info);
}

std::optional<Refusal> CheckRange(uint64_t start, uint64_t end, uint64_t frames,
                                  const std::string& what) {
  if (start >= end) return Refusal{what + ": START must be below END", kExitUsage};
  if (end > frames) {
    return Refusal{what + ": END is beyond the data (" + std::to_string(frames) + " frames)",
                   kExitUsage};
  }
  return std::nullopt;
}

// The ranges of the label file (first) and of the arguments, in frames.
std::optional<Refusal> CollectRanges(const CutOptions& o, const SoundFormatInfo& info,
                                     std::ostream& err, std::vector<ExportRange>& ranges) {
  const uint64_t frames = FrameCount(info);
  const uint32_t rate = info.formatBlock.samplesPerSec;
  if (!o.labels.empty()) {
    std::string text;
    if (!ReadWholeFile(o.labels, text)) return Refusal{"cannot read label file '" + o.labels + "'"};
    const LabelParse labels = ParseLabels(text, rate);
    if (!labels.error.empty()) {
      return Refusal{"label file '" + o.labels + "': " + labels.error, kExitUsage};
    }
    for (const std::string& warning : labels.warnings) {
      err << "snipora-cut: warning: " << o.labels << ": " << warning << "\n";
    }
    for (const LabelRange& label : labels.ranges) {
      const std::string what =
          "bad label on line " + std::to_string(label.line) + " of '" + o.labels + "'";
      if (auto bad = CheckRange(label.startFrame, label.endFrame, frames, what)) return bad;
      ranges.push_back(
          {static_cast<uint32_t>(label.startFrame), static_cast<uint32_t>(label.endFrame)});
    }
  }
  for (const std::string& text : o.ranges) {
    const auto bounds = ParseRangeText(text);
    const std::string what = "bad range '" + text + "'";
    if (!bounds) return Refusal{what + ": expected START:END", kExitUsage};
    auto [start, end] = *bounds;
    if (o.milliseconds) {
      start = MillisecondsToFrames(start, rate);
      end = MillisecondsToFrames(end, rate);
    }
    if (auto bad = CheckRange(start, end, frames, what)) return bad;
    ranges.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(end)});
  }
  if (ranges.empty()) return Refusal{"no range to cut (the label file has none)", kExitUsage};
  return std::nullopt;
}

std::string Normalised(const std::string& path) {
  const auto full = NormaliseFullPath(path);
  return full ? *full : path;
}

// Where the pieces or the joined file go; refuses names that exist unless
// forced and anything that is the source itself, before writing anything.
std::optional<Refusal> ChooseOutputs(const CutOptions& o, const std::string& source,
                                     size_t pieceCount, std::string& folder,
                                     std::vector<std::string>& outputs) {
  if (o.join) {
    outputs = {Normalised(o.output)};
    if (fsops::IsFolder(outputs[0])) return Refusal{"'" + outputs[0] + "' is a folder"};
  } else {
    folder = o.output.empty() ? SplitFolderPath(source) : Normalised(o.output);
    if (fsops::Exists(folder) && !fsops::IsFolder(folder)) {
      return Refusal{"'" + folder + "' exists and is not a folder"};
    }
    for (uint32_t i = 0; i < pieceCount; ++i) {
      outputs.push_back(PathInFolder(folder, PieceFileName(i)));
    }
  }
  for (const std::string& output : outputs) {
    if (fsops::SameFile(output, source)) {
      return Refusal{"'" + output + "' is the source file itself"};
    }
    if (!o.force && fsops::Exists(output)) {
      return Refusal{"'" + output + "' exists; use --force to replace it"};
    }
  }
  return std::nullopt;
}

std::string Describe(ExportOutcome outcome) {
  switch (outcome) {
    case ExportOutcome::Done:
      return "done";
    case ExportOutcome::Cancelled:
      return "interrupted; the unfinished output was removed";
    case ExportOutcome::BadRange:
      return "a range lies outside the sample data";
    case ExportOutcome::OutputIsSource:
      return "an output is the source file itself";
    case ExportOutcome::TooLarge:
      return "an output file would be 4 GiB or more, beyond the WAVE format";
    case ExportOutcome::SourceFailed:
      return "cannot open the source file";
    case ExportOutcome::OutputFailed:
      return "cannot create an output file";
    case ExportOutcome::ReadFailed:
      return "the source file ended early (read error); the unfinished output was removed";
    case ExportOutcome::WriteFailed:
      return "writing failed (disk full or no permission?); the unfinished output was removed";
  }
  return "failed";
}

int Fail(RunContext& context, const Refusal& refusal) {
  context.err << "snipora-cut: " << refusal.message << "\n";
  if (refusal.status == kExitUsage) context.err << "Try 'snipora-cut --help'.\n";
  return refusal.status;
}

}  // namespace

int RunCut(const std::vector<std::string>& args, RunContext& context) {
  const ParsedArguments parsed = ParseArguments(args);
  const CutOptions& o = parsed.options;
  if (!parsed.error.empty()) return Fail(context, {parsed.error, kExitUsage});
  if (o.help) {
    context.out << UsageText();
    return kExitDone;
  }
  if (o.version) {
    context.out << VersionText();
    return kExitDone;
  }

  ExportJob job;
  job.sourcePath = Normalised(o.source);
  if (!fsops::Exists(job.sourcePath)) return Fail(context, {"'" + o.source + "': no such file"});
  if (!ReadSourceFormat(job.sourcePath, job.format)) {
    return Fail(context,
                {"'" + o.source + "' is not a PCM WAVE or uncompressed NWA file (or unreadable)"});
  }
  if (o.info) {
    PrintInfo(context.out, job.format);
    PrintSourceLoops(context.out, job.sourcePath);
    return kExitDone;
  }
  if (o.findLoops) {
    if (!o.ranges.empty()) {
      if (auto bad = CollectRanges(o, job.format, context.err, job.ranges))
        return Fail(context, *bad);
    }
    if (auto bad = FindLoops(o, job, context)) return Fail(context, *bad);
    return kExitDone;
  }
  if (auto bad = CollectRanges(o, job.format, context.err, job.ranges)) return Fail(context, *bad);
  job.fadeMs = o.fadeMs.value_or(0);
  if (job.fadeMs > 0 && !CanFade(job.format)) {
    return Fail(context,
                {"--fade cannot scale the samples of this source (" +
                     std::to_string(job.format.formatBlock.bitsPerSample) + " bits per sample)",
                 kExitUsage});
  }
  if (o.join ? !JoinedFileFits(job) : !PiecesFit(job)) {
    return Fail(context, {Describe(ExportOutcome::TooLarge)});
  }

  std::string folder;
  std::vector<std::string> outputs;
  if (auto bad = ChooseOutputs(o, job.sourcePath, job.ranges.size(), folder, outputs)) {
    return Fail(context, *bad);
  }
  if (auto bad = AddLoopChunks(o, job, context)) return Fail(context, *bad);
  // A folder made for this run goes again if nothing was finished in it.
  std::optional<CSplitFolder> madeFolder;
  if (!o.join && !fsops::Exists(folder)) {
    madeFolder.emplace(folder);
    if (madeFolder->Make() != 0) {
      return Fail(context, {"cannot create the folder '" + folder + "'"});
    }
  }

  std::vector<uint64_t> pieceBytes;
  for (const ExportRange& r : job.ranges) {
    pieceBytes.push_back(uint64_t{r.endFrame - r.startFrame} * job.format.formatBlock.blockAlign);
  }
  TerminalProgress progress(context.err, context.errIsTerminal && !o.quiet, pieceBytes,
                            context.interrupted,
                            std::chrono::microseconds(context.blockDelayMicroseconds));
  const ExportOutcome outcome = o.join ? WriteJoinedFile(job, outputs[0], progress)
                                       : WriteSplitPieces(job, outputs, progress);
  progress.Finish();
  if (outcome == ExportOutcome::Done) return kExitDone;
  return Fail(context, {Describe(outcome)});
}

}  // namespace snipora::cli
