#include "cli/cut_runner.h"

#include <optional>

#include "audiofile/paths.h"
#include "audiofile/sound_units.h"
#include "cli/cli_args.h"
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
#include "ranges/piece_names.h"
#include "ranges/range_formats.h"
#include "ranges/wave_markers.h"

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
  // How the file stores the samples: as they are, or FLAC-compressed.
  out << "codec=" << (info.decoderType == kFlacDecoderType ? "flac" : "pcm") << "\n";
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

// The file name without folder and extension.
std::string SourceName(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The ranges of the list the options name (or the source's markers), or
// none; bad input is refused with its file and line.
std::optional<Refusal> ReadRangeListOption(const CutOptions& o, const std::string& sourcePath,
                                           const ranges::SourceShape& shape, std::ostream& err,
                                           std::vector<ranges::LabeledRange>& list) {
  using ranges::RangeFormat;
  const struct {
    const std::string& path;
    RangeFormat format;
  } files[] = {{o.labels, RangeFormat::AudacityLabels},
               {o.cue, RangeFormat::CueSheet},
               {o.csv, RangeFormat::Csv}};
  std::string name;
  ranges::RangeListRead read;
  for (const auto& file : files) {
    if (file.path.empty()) continue;
    std::string text;
    if (!ReadWholeFile(file.path, text)) return Refusal{"cannot read '" + file.path + "'"};
    name = file.path;
    read = ranges::ReadRangeList(file.format, text, shape);
  }
  if (o.markers) {
    name = o.source;
    read = ranges::ReadWaveMarkersOfFile(sourcePath, shape);
  }
  if (name.empty()) return std::nullopt;
  if (!read.ok()) {
    const std::string line = read.errorLine ? ":" + std::to_string(read.errorLine) : "";
    return Refusal{name + line + ": " + read.error, kExitUsage};
  }
  for (const std::string& note : read.notes) {
    err << "snipora-cut: warning: " << name << ": " << note << "\n";
  }
  if (read.ranges.empty()) return Refusal{"no range to cut ('" + name + "' has none)", kExitUsage};
  list = std::move(read.ranges);
  return std::nullopt;
}

// The ranges of the list (first) and of the arguments, in frames.
std::optional<Refusal> CollectRanges(const CutOptions& o, const std::string& sourcePath,
                                     const ranges::SourceShape& shape, std::ostream& err,
                                     std::vector<ranges::LabeledRange>& list) {
  if (auto bad = ReadRangeListOption(o, sourcePath, shape, err, list)) return bad;
  for (const std::string& text : o.ranges) {
    const auto bounds = ParseRangeText(text);
    const std::string what = "bad range '" + text + "'";
    if (!bounds) return Refusal{what + ": expected START:END", kExitUsage};
    auto [start, end] = *bounds;
    if (o.milliseconds) {
      start = MillisecondsToFrames(start, shape.sampleRate);
      end = MillisecondsToFrames(end, shape.sampleRate);
    }
    if (auto bad = CheckRange(start, end, shape.frames, what)) return bad;
    list.push_back({start, end, "", 0});
  }
  return std::nullopt;
}

std::string Normalised(const std::string& path) {
  const auto full = NormaliseFullPath(path);
  return full ? *full : path;
}

// Where the pieces or the joined file go; refuses names that exist unless
// forced and anything that is the source itself, before writing anything.
std::optional<Refusal> ChooseOutputs(const CutOptions& o, const std::string& source,
                                     const std::vector<std::string>& pieceNames,
                                     std::string& folder, std::vector<std::string>& outputs) {
  if (o.join) {
    outputs = {Normalised(o.output)};
    if (fsops::IsFolder(outputs[0])) return Refusal{"'" + outputs[0] + "' is a folder"};
  } else {
    folder = o.output.empty() ? SplitFolderPath(source) : Normalised(o.output);
    if (fsops::Exists(folder) && !fsops::IsFolder(folder)) {
      return Refusal{"'" + folder + "' exists and is not a folder"};
    }
    for (const std::string& name : pieceNames) outputs.push_back(PathInFolder(folder, name));
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
      return "an output file would be 4 GiB or more, beyond the WAVE format (see --rf64)";
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

// Writes the ranges to standard output in the format --print-ranges names.
int PrintRanges(const CutOptions& o, const ranges::SourceShape& shape,
                const std::vector<ranges::LabeledRange>& list, RunContext& context) {
  const std::string fileName = o.source.substr(o.source.rfind('/') + 1);
  const ranges::RangeListText text =
      ranges::WriteRangeList(*ranges::RangeFormatNamed(o.printRanges), list, shape, fileName);
  if (!text.error.empty()) return Fail(context, {text.error});
  for (const std::string& note : text.notes) {
    context.err << "snipora-cut: warning: " << note << "\n";
  }
  context.out << text.text;
  return kExitDone;
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
    return Fail(context, {"'" + o.source +
                          "' is not a PCM WAVE, uncompressed NWA or FLAC file (or unreadable)"});
  }
  if (o.info) {
    PrintInfo(context.out, job.format);
    PrintSourceLoops(context.out, job.sourcePath);
    return kExitDone;
  }
  const ranges::SourceShape shape{job.format.formatBlock.samplesPerSec, FrameCount(job.format)};
  std::vector<ranges::LabeledRange> list;
  // A loop search without a range searches from the start of the data.
  if (!o.findLoops || !o.ranges.empty()) {
    if (auto bad = CollectRanges(o, job.sourcePath, shape, context.err, list)) {
      return Fail(context, *bad);
    }
  }
  if (!o.printRanges.empty()) return PrintRanges(o, shape, list, context);
  std::vector<std::string> pieceNames;
  for (uint32_t i = 0; i < list.size(); ++i) {
    job.ranges.push_back({list[i].startFrame, list[i].endFrame});
    pieceNames.push_back(PieceFileName(i));
  }
  if (o.findLoops) {
    if (auto bad = FindLoops(o, job, context)) return Fail(context, *bad);
    return kExitDone;
  }
  if (!o.nameTemplate.empty()) {
    pieceNames = ranges::PieceNames(o.nameTemplate, list, SourceName(job.sourcePath));
  }
  job.fadeMs = o.fadeMs.value_or(0);
  job.rf64 = o.rf64;
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
  if (auto bad = ChooseOutputs(o, job.sourcePath, pieceNames, folder, outputs)) {
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
    pieceBytes.push_back((r.endFrame - r.startFrame) * job.format.formatBlock.blockAlign);
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
