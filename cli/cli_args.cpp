#include "cli/cli_args.h"

#include <charconv>

namespace snipora::cli {

namespace {

std::optional<uint64_t> ParseDecimal(const std::string& text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
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
    } else if (arg == "--fade") {
      std::string text;
      if (!value(text)) return parsed;
      o.fadeMs = ParseUnsigned(text);
      if (!o.fadeMs)
        parsed.error = "--fade needs milliseconds as a whole number, not '" + text + "'";
    } else {
      parsed.error = "unknown option " + args[i];
    }
    if (!parsed.error.empty()) return parsed;
    if (attached && (arg == "--help" || arg == "--version" || arg == "--info" || arg == "--join" ||
                     arg == "--force" || arg == "--quiet" || arg == "--ms")) {
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
  if (o.info) {
    if (!o.ranges.empty()) parsed.error = "--info takes only the source file";
    return parsed;
  }
  if (o.ranges.empty() && o.labels.empty()) {
    parsed.error = "no range given (START:END or --labels FILE)";
  } else if (o.join && o.output.empty()) {
    parsed.error = "--join needs -o FILE, the joined file";
  }
  return parsed;
}

std::string UsageText() {
  return R"(Usage: snipora-cut [options] SOURCE RANGE...
       snipora-cut --info SOURCE

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
      --labels FILE  also cut the regions of an Audacity label file
                     (start<TAB>end<TAB>label in seconds), before any RANGE
  -f, --force        replace existing files of the same names
  -q, --quiet        no progress display
      --info         print the source's format as key=value lines
  -h, --help         this text
      --version      the version

Exit status: 0 done, 1 failed (nothing unfinished is left behind), 2 usage error.

Examples:
  snipora-cut song.wav 0:441000 441000:882000
      two pieces: song/01.wav and song/02.wav
  snipora-cut --ms --fade 500 -o clips song.wav 1000:5000 60000:65000
      clips/01.wav and clips/02.wav, each fading out over its last 0.5 s
  snipora-cut -j -o medley.wav --labels marks.txt song.wav
      the labelled regions joined into medley.wav
  snipora-cut --info voice.nwa
)";
}

std::string VersionText() {
  return std::string("snipora-cut ") + SNIPORA_VERSION + "\n";
}

}  // namespace snipora::cli
