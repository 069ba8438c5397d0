#include "cli/option_table.h"

#include <charconv>
#include <cmath>

#include "cli/help_format.h"
#include "loopsearch/loop_search_options.h"
#include "ranges/list_encoding.h"
#include "ranges/piece_names.h"
#include "ranges/range_formats.h"

namespace snipora::cli {

namespace {

// Help groups, in the order --help shows them.
constexpr const char* kRanges = "Ranges";
constexpr const char* kOutput = "Output";
constexpr const char* kEdges = "Edges";
constexpr const char* kLoops = "Loops";
constexpr const char* kMetadata = "Metadata";
constexpr const char* kGeneral = "General";

constexpr unsigned kWithLists = kInCut | kInPrintRanges;

// The index of the loop search's window length of `ms` milliseconds.
std::optional<int> WindowChoice(uint32_t ms) {
  for (size_t i = 0; i < kLoopLengthChoices.size(); ++i) {
    const LoopLengthChoice& c = kLoopLengthChoices[i];
    if ((1000 * c.multiplier) >> c.shift == ms) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::optional<int> PrecisionChoice(uint32_t tolerance) {
  for (size_t i = 0; i < kLoopPrecisionChoices.size(); ++i) {
    if (kLoopPrecisionChoices[i].tolerance == tolerance) return static_cast<int>(i);
  }
  return std::nullopt;
}

// A list file's path may name the source's stem; any other field is a typo.
std::string CheckListPath(const std::string& option, const std::string& path) {
  for (size_t open = path.find('{'); open != std::string::npos; open = path.find('{', open + 1)) {
    if (path.compare(open, 6, "{stem}") != 0) {
      const std::string field = path.substr(open, path.find('}', open) - open + 1);
      return option + ": unknown field " + field + " (known: {stem})";
    }
  }
  return "";
}

// A level in decibels below full scale: a decimal number, at most 0.
std::optional<double> ParseDecibels(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value > 0) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

template <typename Read>
CLI::Option* CutCommandLine::Value(const std::string& names, const char* typeName,
                                   const std::string& help, Read read) {
  CLI::Option* option = app_.add_option_function<std::string>(
      names,
      [read](const std::string& text) {
        const std::string problem = read(text);
        if (!problem.empty()) throw CLI::ValidationError(problem);
      },
      help);
  return option->type_name(typeName);
}

CLI::Option* CutCommandLine::Use(const char* group, unsigned modes, CLI::Option* option) {
  option->group(group);
  uses_.emplace_back(option, modes);
  return option;
}

void CutCommandLine::SelectsMode(CutMode mode, CLI::Option* option) {
  modeOptions_.emplace_back(option, mode);
}

CutCommandLine::CutCommandLine(CutOptions& o) : app_("", "snipora-cut") {
  app_.set_help_flag();
  app_.formatter(std::make_shared<HelpFormatter>());
  // A repeated option counts once, its last value wins.
  app_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  auto list = [&](const char* name, std::string& path, const char* help) {
    Use(kRanges, kWithLists, Value(name, "FILE", help, [&path, name](const std::string& text) {
          path = text;
          return CheckListPath(name, text);
        }));
  };

  Use(kRanges, kWithLists | kInFindLoops,
      app_.add_flag("--ms", o.milliseconds, "RANGE and --loop bounds are milliseconds"));
  list("--labels", o.labels,
       "an Audacity label file (start<TAB>end<TAB>label in seconds): a region label is a piece; "
       "a point label starts one that runs to the next label, the last to the end of the data");
  list("--cue", o.cue,
       "a CUE sheet: each TRACK runs from its INDEX 01 to the next track's (a pregap belongs to "
       "the track before), the last to the end of the data; TITLE is the label");
  list("--csv", o.csv,
       "start,end,label lines in sample frames, END exclusive (a header line is optional)");
  Use(kRanges, kWithLists,
      app_.add_flag("--markers", o.markers,
                    "the source's own markers: its cue points, named by the labl or ltxt entries "
                    "of its LIST adtl chunk; an ltxt length makes a region, a point runs to the "
                    "next marker"));
  Use(kRanges, kWithLists,
      app_.add_flag("--silence", o.silence,
                    "the sounds between silences: a silence is a run of at least --min-silence "
                    "of frames whose every sample is at most --threshold; sounds shorter than "
                    "--min-sound are dropped, the others widened by --pad on both sides (two "
                    "that would overlap meet half-way between them)"));
  // take reads the value into its rule; false when it is no such value.
  auto silenceValue = [&](const char* name, const char* typeName, const std::string& help,
                          auto take) {
    const bool decibels = std::string_view(typeName) == "DB";
    Use(kRanges, kWithLists,
        Value(name, typeName, help,
              [&o, take, name, decibels](const std::string& text) -> std::string {
                o.silenceRulesGiven = true;
                if (take(text)) return "";
                return std::string(name) + " needs " +
                       (decibels ? "decibels up to 0 (such as -50)"
                                 : "milliseconds as a whole number") +
                       ", not '" + text + "'";
              }));
  };
  silenceValue("--threshold", "DB",
               "with --silence: a frame is silent when no sample exceeds DB decibels of full "
               "scale (a number up to 0; default -50)",
               [&o](const std::string& text) {
                 const auto db = ParseDecibels(text);
                 if (db) o.silenceRules.thresholdDb = *db;
                 return db.has_value();
               });
  const auto wholeMs = [](uint32_t& field) {
    return [&field](const std::string& text) {
      const auto ms = ParseUnsigned(text);
      if (ms) field = *ms;
      return ms.has_value();
    };
  };
  silenceValue("--min-silence", "MS",
               "with --silence: the shortest silence that parts two sounds (default 1000)",
               wholeMs(o.silenceRules.minSilenceMs));
  silenceValue("--min-sound", "MS", "with --silence: the shortest sound kept (default 100)",
               wholeMs(o.silenceRules.minSoundMs));
  silenceValue("--pad", "MS",
               "with --silence: silence kept before and after each sound (default 50)",
               wholeMs(o.silenceRules.padMs));
  Use(kRanges, kWithLists,
      Value("--list-encoding", "NAME",
            "the encoding of a list (or of the marker names of --markers) that is not UTF-8: an "
            "iconv name such as CP1251, CP932 or SHIFT_JIS",
            [&o](const std::string& text) -> std::string {
              o.listEncoding = text;
              const std::string problem = ranges::EncodingProblem(text);
              return problem.empty() ? "" : "--list-encoding: " + problem;
            }));
  SelectsMode(
      CutMode::PrintRanges,
      Use(kRanges, kInPrintRanges,
          Value("--print-ranges", "FORMAT",
                "print the ranges as FORMAT (labels, cue or csv) to standard output instead of "
                "cutting: converts a list",
                [&o](const std::string& text) -> std::string {
                  o.printRanges = text;
                  if (ranges::RangeFormatNamed(text)) return "";
                  return "--print-ranges needs labels, cue or csv, not '" + text + "'";
                })));

  Use(kOutput, kInCut,
      app_.add_option("-o,--output", o.output,
                      "the folder that receives the pieces (made, with its parents, if "
                      "missing); with --join the joined file, or a folder (one that exists, or "
                      "PATH ending in /) that receives STEM.wav (STEM.flac); with several "
                      "sources always a folder, which receives one folder (or joined file) per "
                      "source")
          ->type_name("PATH"));
  Use(kOutput, kInCut,
      app_.add_flag("-j,--join", o.join, "write all ranges of a source, in order, into one file"));
  Use(kOutput, kInCut,
      Value("--name", "TEMPLATE",
            "file names of the pieces from the fields {n} (number), {n:02} (at least two "
            "digits), {label}, {stem} or {source} (the source's name without extension), "
            "{start}, {end} (frames); .wav (.flac) is added when TEMPLATE has no extension; "
            "'/' and "
            "control characters become '_'; a repeated name gets \" (2)\", \" (3)\" ...",
            [&o](const std::string& text) -> std::string {
              o.nameTemplate = text;
              const std::string problem = ranges::CheckNameTemplate(text);
              return problem.empty() ? "" : "--name: " + problem;
            }));
  Use(kOutput, kInCut,
      Value("--format", "FORMAT",
            "flac or wav: how the outputs are written; default flac for a FLAC source, wav "
            "otherwise (with --join, a -o FILE ending in .flac or .wav says). FLAC outputs are "
            "encoded by libFLAC from the (decoded) samples, on every core, with a seek table and "
            "Vorbis comments: the source's (without REPLAYGAIN_*), TITLE from a piece's label, "
            "TRACKNUMBER from its number, a loop as LOOPSTART and LOOPLENGTH; they hold no WAVE "
            "chunk. Float sources cannot be written as FLAC",
            [&o](const std::string& text) -> std::string {
              if (text == "flac") {
                o.format = OutputFormat::kFlac;
              } else if (text == "wav") {
                o.format = OutputFormat::kWave;
              } else {
                return "--format takes flac or wav, not '" + text + "'";
              }
              return "";
            }));
  Use(kOutput, kInCut,
      Value("--flac-level", "N",
            "libFLAC's compression level of FLAC outputs: 0 (fastest) to 8 (smallest); "
            "default 5",
            [&o](const std::string& text) -> std::string {
              o.flacLevel = ParseUnsigned(text);
              if (o.flacLevel && *o.flacLevel <= 8) return "";
              return "--flac-level takes 0 to 8, not '" + text + "'";
            }));
  Use(kOutput, kInCut,
      app_.add_flag("-f,--force", o.force, "replace existing files of the same names"));
  Use(kOutput, kInCut,
      app_.add_flag("--skip-existing", o.skipExisting,
                    "leave outputs that exist alone (an output gets its name only when "
                    "complete) and write the others: a rerun finishes an interrupted run"));
  Use(kOutput, kInCut,
      Value("--rf64", "WHEN",
            "write WAVE outputs as RF64 (64-bit sizes): always, auto (only a file of 4 GiB or "
            "more; the default) or never (such a file is refused)",
            [&o](const std::string& text) -> std::string {
              if (text == "always") {
                o.rf64 = Rf64Policy::kAlways;
              } else if (text == "auto") {
                o.rf64 = Rf64Policy::kAuto;
              } else if (text == "never") {
                o.rf64 = Rf64Policy::kNever;
              } else {
                return "--rf64 takes always, auto or never, not '" + text + "'";
              }
              return "";
            }));
  Use(kOutput, kInCut,
      app_.add_flag("--verify", o.verify,
                    "read every output back after writing, bypassing the page cache, and compare "
                    "its header and samples (a FLAC output decoded) with the source (faded frames "
                    "with the fade rule); a mismatch names the output and fails the run; ends "
                    "with \"verified N outputs\""));
  Use(kOutput, kInCut | kInFindLoops,
      app_.add_flag("--json", o.json,
                    "one JSON object per output on standard output, a line each: source, path, "
                    "start_frame, end_frame, frames, bytes (of the file), status (written or "
                    "skipped); with --find-loops the candidates as a JSON array"));

  // A whole number of milliseconds into `target`.
  auto milliseconds = [&](const char* name, unsigned modes, std::optional<uint32_t>& target,
                          const char* help) {
    Use(kEdges, modes, Value(name, "MS", help, [&target, name](const std::string& text) {
          target = ParseUnsigned(text);
          if (target) return std::string();
          return std::string(name) + " needs milliseconds as a whole number, not '" + text + "'";
        }));
  };
  milliseconds("--fade", kInCut, o.fadeMs,
               "fade out the last MS milliseconds of each piece; with --join the last MS of the "
               "joined file, across the seams between its ranges");
  milliseconds("--fade-in", kInCut, o.fadeInMs,
               "fade in the first MS milliseconds of each piece (the exact time mirror of "
               "--fade); with --join the first MS of the joined file");
  milliseconds("--declick", kInCut, o.declickMs,
               "fade in and out over MS milliseconds (5 is usual) at both edges of every piece; "
               "with --join at its start and end and on both sides of every seam; a longer "
               "--fade-in or --fade applies at its edge instead");
  milliseconds("--snap-zero", kWithLists, o.snapZeroMs,
               "move every range bound to the nearest frame at most MS milliseconds (up to "
               "1000) away where the sum of the channels changes sign or is 0, as the window "
               "snaps; a bound with none stays; --print-ranges shows the moved bounds");

  Use(kLoops, kInCut,
      Value("--loop", "START:END|auto",
            "write this loop into each output's smpl chunk (a FLAC output's LOOPSTART and "
            "LOOPLENGTH comments; source positions in RANGE units, "
            "END exclusive); it must lie inside every piece (with --join: inside one range); "
            "auto: the best loop --find-loops finds in each piece. Without --loop the source's "
            "smpl loops (a FLAC source's LOOPSTART and LOOPLENGTH) inside a piece are kept "
            "(moved); the others are named on standard error",
            [&o](const std::string& text) -> std::string {
              o.loop = text;
              if (text == "auto") return "";
              const auto bounds = ParseRangeText(text);
              if (!bounds) return "bad loop '" + text + "': expected START:END or auto";
              if (bounds->first >= bounds->second) {
                return "--loop " + text + ": START must be below END";
              }
              return "";
            }));
  Use(kLoops, kInCut,
      Value("--extend-loop", "COUNT[:FADE_MS]",
            "write each piece as a listening copy: its audio up to its loop's end, the loop "
            "COUNT - 1 more times, then FADE_MS (default 10000) from the loop's start fading "
            "out; no smpl chunk. The loop is the piece's: --loop's (also auto), else the "
            "source's first loop inside the piece; a piece without one is refused",
            [&o](const std::string& text) -> std::string {
              const size_t colon = text.find(':');
              const auto count = ParseUnsigned(text.substr(0, colon));
              const auto fade = colon == std::string::npos
                                    ? std::optional<uint32_t>(ExtendLoopOption{}.fadeMs)
                                    : ParseUnsigned(text.substr(colon + 1));
              if (!count || *count == 0 || !fade) {
                return "--extend-loop takes COUNT[:FADE_MS], a count of at least 1 and "
                       "milliseconds, not '" +
                       text + "'";
              }
              o.extendLoop = ExtendLoopOption{*count, *fade};
              return "";
            }));
  SelectsMode(
      CutMode::FindLoops,
      Use(kLoops, kInFindLoops,
          app_.add_flag("--find-loops", findLoops_,
                        "list loops instead of cutting: where the sound at RANGE's start (frame "
                        "0 without RANGE) recurs before RANGE's end, as \"start_frame end_frame "
                        "length_ms\" lines, best first (least sum of absolute differences across "
                        "the seam); every PCM format; a silent or constant start is refused")));
  Use(kLoops, kInFindLoops | kInCut,
      Value("--window", "MS",
            "compared length: 250, 500 (default), 1000, 2000, 5000 or 10000 ms of mono sound "
            "(a stereo window spans half)",
            [&o](const std::string& text) -> std::string {
              const auto ms = ParseUnsigned(text);
              o.windowChoice = ms ? WindowChoice(*ms) : std::nullopt;
              if (o.windowChoice) return "";
              return "--window takes 250, 500, 1000, 2000, 5000 or 10000, not '" + text + "'";
            }));
  Use(kLoops, kInFindLoops | kInCut,
      Value("--precision", "N", "tolerance per value: 0 (exact), 32, 64, 128 (default), 256 or 512",
            [&o](const std::string& text) -> std::string {
              const auto tolerance = ParseUnsigned(text);
              o.precisionChoice = tolerance ? PrecisionChoice(*tolerance) : std::nullopt;
              if (o.precisionChoice) return "";
              return "--precision takes 0, 32, 64, 128, 256 or 512, not '" + text + "'";
            }));

  Use(kMetadata, kInCut,
      app_.add_flag("--strip-metadata", o.stripMetadata,
                    "keep no chunk of the source, write no Vorbis comment into FLAC outputs. "
                    "Otherwise every WAVE output keeps its LIST INFO (a "
                    "piece's INAM becomes its label, when it has one, and ITRK its number), bext "
                    "(TimeReference advanced to the output's first frame, and the iXML fields of "
                    "the same time reference with it), iXML, the markers (cue points with their "
                    "LIST adtl texts) and smpl loops that lie inside it, moved to its frames; no "
                    "other chunk. Markers and loops in no output are named on standard error"));
  SelectsMode(
      CutMode::Info,
      Use(kMetadata, kInInfo,
          app_.add_flag("--info", info_,
                        "print the source's format and smpl loops as key=value lines instead of "
                        "cutting")));

  Use(kGeneral, kInEveryMode, app_.add_flag("-q,--quiet", o.quiet, "no progress display"));
  Use(kGeneral, kInEveryMode, app_.add_flag("-h,--help", o.help, "this text"));
  Use(kGeneral, kInEveryMode, app_.add_flag("--version", o.version, "the version"));

  // Sources and ranges; not listed among the options.
  app_.add_option("SOURCE", positionals_)->group("");
}

std::vector<std::pair<std::string, CutMode>> CutCommandLine::ModesGiven() const {
  std::vector<std::pair<std::string, CutMode>> given;
  for (const auto& [option, mode] : modeOptions_) {
    if (option->count() > 0) given.emplace_back(option->get_name(), mode);
  }
  return given;
}

std::string CutCommandLine::FirstUnusedIn(CutMode mode) const {
  const unsigned bit = 1u << static_cast<unsigned>(mode);
  for (const auto& [option, modes] : uses_) {
    if (option->count() > 0 && (modes & bit) == 0) return option->get_name();
  }
  return "";
}

bool CutCommandLine::IsFlag(const std::string& name) const {
  const CLI::Option* option = app_.get_option_no_throw(name);
  return option != nullptr && option->get_expected_max() == 0;
}

std::string CutCommandLine::Help() const {
  return app_.help();
}

}  // namespace snipora::cli
