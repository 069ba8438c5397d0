#include "cli/cli_args.h"

#include <charconv>

#include "loopsearch/loop_search_options.h"
#include "ranges/piece_names.h"
#include "ranges/range_formats.h"

namespace snipora::cli {

namespace {

std::optional<uint64_t> ParseDecimal(const std::string& text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

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

// Usage errors of the loop options, once all arguments are read.
std::string CheckLoopOptions(const CutOptions& o) {
  if (o.findLoops) {
    if (o.info) return "--find-loops and --info do not go together";
    if (!o.loop.empty()) return "--find-loops and --loop do not go together";
    if (o.ranges.size() > 1 || !o.labels.empty()) {
      return "--find-loops takes the source and at most one START:END";
    }
    return "";
  }
  if (o.json) return "--json goes with --find-loops";
  if ((o.windowChoice || o.precisionChoice) && o.loop != "auto") {
    return "--window and --precision go with --find-loops or --loop auto";
  }
  if (o.loop == "auto" && o.join) return "--loop auto works on pieces; with --join give START:END";
  if (!o.loop.empty() && o.loop != "auto" && !ParseRangeText(o.loop)) {
    return "bad loop '" + o.loop + "': expected START:END or auto";
  }
  return "";
}

}  // namespace

std::optional<uint32_t> ParseUnsigned(const std::string& text) {
  const auto value = ParseDecimal(text);
  if (!value || *value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<std::pair<uint64_t, uint64_t>> ParseRangeText(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto start = ParseDecimal(text.substr(0, colon));
  const auto end = ParseDecimal(text.substr(colon + 1));
  if (!start || !end) return std::nullopt;
  return std::make_pair(*start, *end);
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  ParsedArguments parsed;
  CutOptions& o = parsed.options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> attached;  // --name=value
    if (!optionsEnded && arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
      attached = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
    }
    // The value of an option that takes one: attached, or the next argument.
    auto value = [&](std::string& out) {
      if (attached) {
        out = *attached;
        return true;
      }
      if (i + 1 >= args.size()) {
        parsed.error = "option " + arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--info") {
      o.info = true;
    } else if (arg == "-j" || arg == "--join") {
      o.join = true;
    } else if (arg == "-f" || arg == "--force") {
      o.force = true;
    } else if (arg == "-q" || arg == "--quiet") {
      o.quiet = true;
    } else if (arg == "--ms") {
      o.milliseconds = true;
    } else if (arg == "-o" || arg == "--output") {
      if (!value(o.output)) return parsed;
      if (o.output.empty()) parsed.error = "option " + arg + " needs a path";
    } else if (arg == "--labels") {
      if (!value(o.labels)) return parsed;
    } else if (arg == "--cue") {
      if (!value(o.cue)) return parsed;
    } else if (arg == "--csv") {
      if (!value(o.csv)) return parsed;
    } else if (arg == "--markers") {
      o.markers = true;
    } else if (arg == "--print-ranges") {
      if (!value(o.printRanges)) return parsed;
      if (!ranges::RangeFormatNamed(o.printRanges)) {
        parsed.error = "--print-ranges needs labels, cue or csv, not '" + o.printRanges + "'";
      }
    } else if (arg == "--name") {
      if (!value(o.nameTemplate)) return parsed;
      const std::string problem = ranges::CheckNameTemplate(o.nameTemplate);
      if (!problem.empty()) parsed.error = "--name: " + problem;
    } else if (arg == "--fade") {
      std::string text;
      if (!value(text)) return parsed;
      o.fadeMs = ParseUnsigned(text);
      if (!o.fadeMs)
        parsed.error = "--fade needs milliseconds as a whole number, not '" + text + "'";
    } else if (arg == "--rf64") {
      std::string text;
      if (!value(text)) return parsed;
      if (text == "always") {
        o.rf64 = Rf64Policy::kAlways;
      } else if (text == "auto") {
        o.rf64 = Rf64Policy::kAuto;
      } else if (text == "never") {
        o.rf64 = Rf64Policy::kNever;
      } else {
        parsed.error = "--rf64 takes always, auto or never, not '" + text + "'";
      }
    } else if (arg == "--find-loops") {
      o.findLoops = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--loop") {
      if (!value(o.loop)) return parsed;
    } else if (arg == "--window") {
      std::string text;
      if (!value(text)) return parsed;
      const auto ms = ParseUnsigned(text);
      o.windowChoice = ms ? WindowChoice(*ms) : std::nullopt;
      if (!o.windowChoice) {
        parsed.error = "--window takes 250, 500, 1000, 2000, 5000 or 10000, not '" + text + "'";
      }
    } else if (arg == "--precision") {
      std::string text;
      if (!value(text)) return parsed;
      const auto tolerance = ParseUnsigned(text);
      o.precisionChoice = tolerance ? PrecisionChoice(*tolerance) : std::nullopt;
      if (!o.precisionChoice) {
        parsed.error = "--precision takes 0, 32, 64, 128, 256 or 512, not '" + text + "'";
      }
    } else {
      parsed.error = "unknown option " + args[i];
    }
    if (!parsed.error.empty()) return parsed;
    if (attached && (arg == "--help" || arg == "--version" || arg == "--info" || arg == "--join" ||
                     arg == "--force" || arg == "--quiet" || arg == "--ms" || arg == "--markers" ||
                     arg == "--find-loops" || arg == "--json")) {
      parsed.error = "option " + arg + " takes no value";
      return parsed;
    }
  }
  if (o.help || o.version) return parsed;
  if (positional.empty()) {
    parsed.error = "no source file given";
    return parsed;
  }
  o.source = positional[0];
  o.ranges.assign(positional.begin() + 1, positional.end());
  parsed.error = CheckLoopOptions(o);
  if (!parsed.error.empty() || o.findLoops) return parsed;
  if (o.info) {
    if (!o.ranges.empty()) parsed.error = "--info takes only the source file";
    return parsed;
  }
  const int lists = !o.labels.empty() + !o.cue.empty() + !o.csv.empty() + o.markers;
  if (o.ranges.empty() && lists == 0) {
    parsed.error = "no range given (START:END, --labels, --cue, --csv or --markers)";
  } else if (lists > 1) {
    parsed.error = "only one of --labels, --cue, --csv and --markers at a time";
  } else if (o.join && !o.nameTemplate.empty()) {
    parsed.error = "--name names split pieces; --join writes one file named by -o";
  } else if (o.join && o.output.empty() && o.printRanges.empty()) {
    parsed.error = "--join needs -o FILE, the joined file";
  }
  return parsed;
}

std::string UsageText() {
  return R"USAGE(Usage: snipora-cut [options] SOURCE RANGE...
       snipora-cut [options] --labels|--cue|--csv FILE SOURCE [RANGE...]
       snipora-cut [options] --markers SOURCE [RANGE...]
       snipora-cut --info SOURCE
       snipora-cut --find-loops [--window MS] [--precision N] SOURCE [RANGE]

Cuts ranges out of a PCM WAVE or uncompressed NWA file without re-encoding:
each piece is a byte-exact copy of the source's samples in a WAVE file.

RANGE is START:END in sample frames, END exclusive (with --ms: milliseconds).
Without -o the pieces go to a folder named after the source as 01.wav,
02.wav ...: /music/song.wav gives /music/song/01.wav.

Options:
  -o, --output PATH  with --join the joined file (required); otherwise the
                     folder that receives the pieces (created if missing)
  -j, --join         write all ranges, in order, into one file
      --fade MS      fade out the last MS milliseconds of each piece (with
                     --join: of the joined file)
      --ms           RANGE bounds are milliseconds
      --name TEMPLATE
                     file names of the pieces from the fields {n} (number),
                     {n:02} (at least two digits), {label}, {source} (its
                     name without extension), {start}, {end} (frames); .wav
                     is added when TEMPLATE has no extension; '/' and
                     control characters become '_'; a repeated name gets
                     " (2)", " (3)" ...
      --rf64 WHEN    write outputs as RF64 (64-bit sizes): always, auto (only
                     a file of 4 GiB or more; the default) or never (such a
                     file is refused)
  -f, --force        replace existing files of the same names
  -q, --quiet        no progress display
      --info         print the source's format and smpl loops as key=value
                     lines
      --loop START:END  write this loop into each output's smpl chunk (source
                     positions in RANGE units, END exclusive); it must lie
                     inside every piece (with --join: inside one range)
      --loop auto    the best loop --find-loops finds in each piece
                     Without --loop the source's smpl loops inside a piece are
                     kept (moved); the others are named on standard error.
      --find-loops   list loops instead of cutting: where the sound at RANGE's
                     start (frame 0 without RANGE) recurs before RANGE's end,
                     as "start_frame end_frame length_ms" lines, best first
                     (least sum of absolute differences across the seam)
      --window MS    compared length: 250, 500 (default), 1000, 2000, 5000 or
                     10000 ms of mono sound (a stereo window spans half);
                     the search reads 16-bit sources only
      --precision N  tolerance per value: 0 (exact), 32, 64, 128 (default),
                     256 or 512
      --json         with --find-loops: a JSON array
  -h, --help         this text
      --version      the version

Range lists (one at a time; its ranges come before any RANGE):
      --labels FILE  an Audacity label file (start<TAB>end<TAB>label in
                     seconds): a region label is a piece; a point label
                     starts one that runs to the next label, the last to
                     the end of the data
      --cue FILE     a CUE sheet: each TRACK runs from its INDEX 01 to the
                     next track's (a pregap belongs to the track before),
                     the last to the end of the data; TITLE is the label
      --csv FILE     start,end,label lines in sample frames, END exclusive
                     (a header line is optional)
      --markers      the source's own markers: its cue points, named by the
                     labl or ltxt entries of its LIST adtl chunk; an ltxt
                     length makes a region, a point runs to the next marker
      --print-ranges FORMAT
                     print the ranges as FORMAT (labels, cue or csv) to
                     standard output instead of cutting: converts a list

A malformed list is refused with its file and line; nothing is cut.

Exit status: 0 done, 1 failed (nothing unfinished is left behind), 2 usage error.

Examples:
  snipora-cut song.wav 0:441000 441000:882000
      two pieces: song/01.wav and song/02.wav
  snipora-cut --ms --fade 500 -o clips song.wav 1000:5000 60000:65000
      clips/01.wav and clips/02.wav, each fading out over its last 0.5 s
  snipora-cut -j -o medley.wav --labels marks.txt song.wav
      the labelled regions joined into medley.wav
  snipora-cut --cue album.cue --name "{n:02} {label}" album.wav
      one file per track, named after its title: album/01 Intro.wav ...
  snipora-cut --markers --print-ranges cue take.wav > take.cue
      the source's own markers as a CUE sheet
  snipora-cut --info voice.nwa
  snipora-cut --find-loops --ms song.wav 5000:60000
      loops that start at 5 s and end before 60 s
  snipora-cut --loop 220500:1543500 song.wav 0:2000000
      song/01.wav with the loop from 5 s to 35 s (44100 Hz) in its smpl chunk
)USAGE";
}

std::string VersionText() {
  return std::string("snipora-cut ") + SNIPORA_VERSION + "\n";
}

}  // namespace snipora::cli
