#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/refusal.h"

namespace snipora::cli {

// Where one source's outputs go, decided before anything is written.
struct OutputPlaces {
  std::string folder;              // made, with its parents, when missing
  std::vector<std::string> paths;  // one per piece, or the joined file
  std::vector<bool> skipped;       // per path: it exists and --skip-existing leaves it
};

// The path as an absolute, lexically normal one (as given when that fails).
std::string Normalised(const std::string& path);

// With --join: the format the name of the joined file that -o names says
// (a .flac or .wav file); nothing when -o names a folder or another name.
std::optional<OutputFormat> JoinedFileFormat(const CutOptions& o);

// The places of a source's outputs: pieces in the source's split folder, in
// -o DIR, or with several sources in DIR/STEM; the joined file at -o FILE, or
// STEM plus `extension` in -o DIR when DIR is a folder, ends in '/' or there
// are several sources. Refuses a folder where a file goes (and the reverse),
// an output that is the source itself, and an existing output unless -f or
// --skip-existing says what to do with it.
std::optional<Refusal> PlaceOutputs(const CutOptions& o, const std::string& sourcePath,
                                    const std::vector<std::string>& pieceNames,
                                    const std::string& extension, OutputPlaces& places);

}  // namespace snipora::cli
