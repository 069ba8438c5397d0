#include "cli/cut_runner.h"

#include "audiofile/sound_units.h"
#include "cli/cli_args.h"
#include "cli/cut_run.h"
#include "cli/loop_points.h"
#include "cli/refusal.h"
#include "cli/source_plan.h"
#include "ranges/range_formats.h"

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

int Fail(RunContext& context, const Refusal& refusal) {
  context.err << "snipora-cut: " << refusal.message << "\n";
  if (refusal.status == kExitUsage) context.err << "Try 'snipora-cut --help'.\n";
  return refusal.status;
}

// Writes the ranges to standard output in the format --print-ranges names.
std::optional<Refusal> PrintRanges(const CutOptions& o, const ExportRequest& job,
                                   const std::vector<ranges::LabeledRange>& list,
                                   RunContext& context) {
  const std::string& given = o.sources[0];
  const ranges::SourceShape shape{job.format.formatBlock.samplesPerSec, TotalFrames(job.format)};
  const ranges::RangeListText text = ranges::WriteRangeList(
      *ranges::RangeFormatNamed(o.printRanges), list, shape, given.substr(given.rfind('/') + 1));
  if (!text.error.empty()) return Refusal{text.error};
  for (const std::string& note : text.notes) Warn(context, note);
  context.out << text.text;
  return std::nullopt;
}

// The modes that read one source and write to standard output.
std::optional<Refusal> RunOnOneSource(const CutOptions& o, RunContext& context) {
  ExportRequest job;
  if (auto bad = OpenSource(o.sources[0], job)) return bad;
  if (o.mode == CutMode::Info) {
    PrintInfo(context.out, job.format);
    PrintSourceLoops(context.out, job.sourcePath);
    return std::nullopt;
  }
  std::vector<ranges::LabeledRange> list;
  const auto provider = MakeRangeProvider(o, context);
  if (auto bad = CollectRanges(o, provider.get(), o.sources[0], job, context, list)) return bad;
  if (o.mode == CutMode::PrintRanges) return PrintRanges(o, job, list, context);
  // A loop search without a range searches from the start of the data.
  for (const ranges::LabeledRange& r : list)
    job.ranges.push_back({r.startFrame, r.endFrame, r.label, std::nullopt});
  return FindLoops(o, job, context);
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
  if (o.mode == CutMode::Cut) return RunCutSources(o, context);
  if (auto bad = RunOnOneSource(o, context)) return Fail(context, *bad);
  return kExitDone;
}

}  // namespace snipora::cli
