#include "cli/cli_args.h"

#include "cli/option_table.h"
#include "cli/output_places.h"
#include "platform/system/fs_ops.h"
#include "ranges/text_lines.h"

namespace snipora::cli {

namespace {

bool LooksLikeRange(const std::string& text) {
  return ParseRangeText(text).has_value();
}

// CLI11's own refusals in the words of the rest of the program.
std::string Reworded(const CLI::ParseError& error, const CLI::App& app) {
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    for (const std::string& extra : app.remaining()) {
      if (!extra.empty() && extra[0] == '-') return "unknown option " + extra;
    }
  }
  const std::string what = error.what();
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr &&
      what.find(" required ") != std::string::npos) {
    return "option " + what.substr(0, what.find(':')) + " needs a value";
  }
  return what;
}

// "--join=yes" (CLI11 would take some values for a flag; none is meant) and
// "--fade=" (CLI11 would take the next argument as its value).
std::string AttachedValueProblem(const std::vector<std::string>& args, const CutCommandLine& line) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) != 0 || equals == std::string::npos) continue;
    const std::string name = arg.substr(0, equals);
    if (line.IsFlag(name)) return "option " + name + " takes no value";
    if (equals + 1 == arg.size()) return "option " + name + " needs a value";
  }
  return "";
}

// The first argument is the source; a later one is a range when it reads as
// START:END, else a source when such a file exists, else a range (refused).
void SortPositionals(const std::vector<std::string>& positionals, CutOptions& o) {
  for (size_t i = 0; i < positionals.size(); ++i) {
    const std::string& arg = positionals[i];
    const bool source = i == 0 || (!LooksLikeRange(arg) && fsops::Exists(arg));
    (source ? o.sources : o.ranges).push_back(arg);
  }
}

std::string CheckRanges(const CutOptions& o) {
  for (const std::string& text : o.ranges) {
    const auto bounds = ParseRangeText(text);
    const std::string what = "bad range '" + text + "': ";
    if (!bounds) {
      const bool fileName = text.find(':') == std::string::npos;
      return what + "expected START:END" + (fileName ? " (nor is it a source file)" : "");
    }
    if (bounds->first >= bounds->second) return what + "START must be below END";
  }
  return "";
}

std::string CheckFindLoops(const CutOptions& o) {
  if (o.sources.size() > 1 || o.ranges.size() > 1) {
    return "--find-loops takes the source and at most one START:END";
  }
  return "";
}

// Farther than this a bound is no longer where the user put it.
constexpr uint32_t kLongestSnapMs = 1000;

std::string CheckCut(const CutOptions& o) {
  if (o.snapZeroMs > kLongestSnapMs) {
    return "--snap-zero takes at most " + std::to_string(kLongestSnapMs) + " milliseconds";
  }
  const int lists = !o.labels.empty() + !o.cue.empty() + !o.csv.empty() + o.markers + o.silence;
  if (o.ranges.empty() && lists == 0) {
    return "no range given (START:END, --labels, --cue, --csv, --markers or --silence)";
  }
  if (lists > 1) return "only one of --labels, --cue, --csv, --markers and --silence at a time";
  if (o.silenceRulesGiven && !o.silence) {
    return "--threshold, --min-silence, --min-sound and --pad go with --silence";
  }
  if ((lists == 0 || o.silence) && !o.listEncoding.empty()) {
    return "--list-encoding goes with --labels, --cue, --csv or --markers";
  }
  if (o.mode == CutMode::PrintRanges) {
    return o.sources.size() > 1 ? "--print-ranges takes one source" : "";
  }
  if (o.force && o.skipExisting) return "--force and --skip-existing do not go together";
  if (o.flacLevel && o.format == OutputFormat::kWave) {
    return "--flac-level goes with FLAC outputs, not --format wav";
  }
  if ((o.windowChoice || o.precisionChoice) && o.loop != "auto") {
    return "--window and --precision go with --find-loops or --loop auto";
  }
  if (o.extendLoop && (o.fadeMs || o.fadeInMs || o.declickMs)) {
    return "--fade, --fade-in and --declick do not go with --extend-loop, which fades out by its "
           "own FADE_MS";
  }
  if (!o.join) return "";
  if (o.extendLoop) return "--extend-loop writes each piece; it does not go with --join";
  if (!o.nameTemplate.empty())
    return "--name names split pieces; --join writes one file named by -o";
  if (o.loop == "auto") return "--loop auto works on pieces; with --join give START:END";
  if (o.output.empty()) {
    return o.sources.size() > 1 ? "--join with several sources needs -o DIR, their folder"
                                : "--join needs -o FILE, the joined file";
  }
  const std::optional<OutputFormat> named = JoinedFileFormat(o);
  if (o.format && named && *named != *o.format) {
    return "--format " + std::string(*o.format == OutputFormat::kFlac ? "flac" : "wav") +
           " does not write the file -o names (" + o.output + ")";
  }
  return "";
}

// Usage errors that need the whole command line.
std::string CheckCombination(const CutCommandLine& line, CutOptions& o) {
  const auto modes = line.ModesGiven();
  if (modes.size() > 1) return modes[0].first + " and " + modes[1].first + " do not go together";
  if (!modes.empty()) {
    o.mode = modes[0].second;
    const std::string unused = line.FirstUnusedIn(o.mode);
    if (!unused.empty()) return unused + " does not go with " + modes[0].first;
  }
  if (o.sources.empty()) return "no source file given";
  if (o.format == OutputFormat::kFlac && line.Given("--rf64")) {
    return "--rf64 goes with WAVE outputs, not --format flac";
  }
  if (const std::string bad = CheckRanges(o); !bad.empty()) return bad;
  switch (o.mode) {
    case CutMode::Info:
      return o.sources.size() + o.ranges.size() > 1 ? "--info takes only the source file" : "";
    case CutMode::FindLoops:
      return CheckFindLoops(o);
    case CutMode::PrintRanges:
    case CutMode::Cut:
      break;
  }
  return CheckCut(o);
}

}  // namespace

std::optional<uint32_t> ParseUnsigned(const std::string& text) {
  const auto value = ranges::ParseFrameNumber(text);
  if (!value || *value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<std::pair<uint64_t, uint64_t>> ParseRangeText(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto start = ranges::ParseFrameNumber(std::string_view(text).substr(0, colon));
  const auto end = ranges::ParseFrameNumber(std::string_view(text).substr(colon + 1));
  if (!start || !end) return std::nullopt;
  return std::make_pair(*start, *end);
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  ParsedArguments parsed;
  CutOptions& o = parsed.options;
  CutCommandLine line(o);
  parsed.error = AttachedValueProblem(args, line);
  if (!parsed.error.empty()) return parsed;
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
  try {
    line.App().parse(reversed);
  } catch (const CLI::ParseError& error) {
    parsed.error = Reworded(error, line.App());
    return parsed;
  }
  if (o.help || o.version) return parsed;
  if (o.output.empty() && line.App().count("--output") > 0) {
    parsed.error = "option --output needs a path";
    return parsed;
  }
  SortPositionals(line.Positionals(), o);
  parsed.error = CheckCombination(line, o);
  return parsed;
}

std::string UsageText() {
  CutOptions options;
  return CutCommandLine(options).Help();
}

std::string VersionText() {
  return std::string("snipora-cut ") + SNIPORA_VERSION + "\n";
}

}  // namespace snipora::cli
