#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/wave_writer.h"
#include "export/export_plan.h"
#include "ranges/sounds_between_silences.h"

// The command line of snipora-cut.
namespace snipora::cli {

// What a run does; chosen by --info, --find-loops or --print-ranges, else a cut.
enum class CutMode { Cut, PrintRanges, Info, FindLoops };

// --extend-loop COUNT[:FADE_MS]: each piece as a listening copy of its loop.
struct ExtendLoopOption {
  uint32_t count = 1;       // how often the loop plays, at least 1
  uint32_t fadeMs = 10000;  // the fade-out after the last loop
};

struct CutOptions {
  bool help = false;
  bool version = false;
  CutMode mode = CutMode::Cut;
  bool join = false;
  bool force = false;
  bool skipExisting = false;  // --skip-existing: outputs that exist are left alone
  bool quiet = false;
  bool json = false;                    // JSON lines per output; with --find-loops an array
  bool milliseconds = false;            // RANGE bounds in milliseconds instead of frames
  std::optional<uint32_t> fadeMs;       // --fade
  std::optional<uint32_t> fadeInMs;     // --fade-in
  std::optional<uint32_t> declickMs;    // --declick
  std::optional<uint32_t> snapZeroMs;   // --snap-zero: range bounds move to zero crossings
  bool stripMetadata = false;           // --strip-metadata: no chunk kept from the source
  bool verify = false;                  // --verify: outputs read back and compared
  Rf64Policy rf64 = Rf64Policy::kAuto;  // --rf64
  std::optional<OutputFormat> format;   // --format; default: the source's kind
  std::optional<uint32_t> flacLevel;    // --flac-level: libFLAC's level, 0 to 8
  std::string output;                   // -o: the joined file, or the folder for pieces
  // Range lists; a list's path may hold {stem}, resolved beside each source.
  std::string labels;                 // --labels: an Audacity label file
  std::string cue;                    // --cue: a CUE sheet
  std::string csv;                    // --csv: a CSV file in frames
  bool markers = false;               // --markers: the source's own cue points
  bool silence = false;               // --silence: the sounds between silences
  ranges::SilenceRules silenceRules;  // --threshold, --min-silence, --min-sound, --pad
  bool silenceRulesGiven = false;     // one of them was given
  std::string listEncoding;           // --list-encoding: iconv name of a list that is not UTF-8
  std::string printRanges;            // --print-ranges: the format to print in, instead of cutting
  std::string nameTemplate;           // --name: file names of the pieces
  std::vector<std::string> sources;
  std::vector<std::string> ranges;  // "START:END" as given, applied to each source

  // Loop points.
  std::string loop;                    // --loop: "START:END" or "auto"; empty: keep the source's
  std::optional<int> windowChoice;     // --window: index into the search's length choices
  std::optional<int> precisionChoice;  // --precision: index into its precision choices
  std::optional<ExtendLoopOption> extendLoop;
};

struct ParsedArguments {
  CutOptions options;
  std::string error;  // not empty: a usage error, said in one line
};

// Parses the arguments after the program name. Only what the command line
// says is checked (and whether a later argument names an existing file, which
// makes it a source rather than a range); no file is read.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// "START:END" with decimal numbers; nothing when malformed.
std::optional<std::pair<uint64_t, uint64_t>> ParseRangeText(const std::string& text);

// A decimal number of at most 32 bits; nothing when malformed.
std::optional<uint32_t> ParseUnsigned(const std::string& text);

// The --help text: usage, options by group, exit statuses and examples.
std::string UsageText();
std::string VersionText();

}  // namespace snipora::cli
