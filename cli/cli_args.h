#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/wave_writer.h"

// The command line of snipora-cut.
namespace snipora::cli {

struct CutOptions {
  bool help = false;
  bool version = false;
  bool info = false;
  bool join = false;
  bool force = false;
  bool quiet = false;
  bool milliseconds = false;            // RANGE bounds in milliseconds instead of frames
  std::optional<uint32_t> fadeMs;       // --fade
  Rf64Policy rf64 = Rf64Policy::kAuto;  // --rf64
  std::string output;                   // -o: the joined file, or the folder for pieces
  std::string labels;                   // --labels: an Audacity label file
  std::string cue;                      // --cue: a CUE sheet
  std::string csv;                      // --csv: a CSV file in frames
  bool markers = false;                 // --markers: the source's own cue points
  std::string printRanges;   // --print-ranges: the format to print in, instead of cutting
  std::string nameTemplate;  // --name: file names of the pieces
  std::string source;
  std::vector<std::string> ranges;  // "START:END" as given

  // Loop points.
  bool findLoops = false;              // --find-loops: list loop candidates instead of cutting
  bool json = false;                   // --json: the candidates as JSON
  std::string loop;                    // --loop: "START:END" or "auto"; empty: keep the source's
  std::optional<int> windowChoice;     // --window: index into the search's length choices
  std::optional<int> precisionChoice;  // --precision: index into its precision choices
};

struct ParsedArguments {
  CutOptions options;
  std::string error;  // not empty: a usage error, said in one line
};

// Parses the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// "START:END" with decimal numbers; nothing when malformed.
std::optional<std::pair<uint64_t, uint64_t>> ParseRangeText(const std::string& text);

// A decimal number of at most 32 bits; nothing when malformed.
std::optional<uint32_t> ParseUnsigned(const std::string& text);

// The --help text, with examples.
std::string UsageText();
std::string VersionText();

}  // namespace snipora::cli
