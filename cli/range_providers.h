#pragma once

#include <memory>
#include <string>

#include "audiofile/sound_format.h"
#include "cli/cli_args.h"
#include "cli/cut_runner.h"
#include "ranges/labeled_range.h"

namespace snipora::cli {

// What a provider read for one source, and the name its messages go by (the
// list file, or the source for its own markers).
struct ProvidedRanges {
  ranges::RangeListRead read;
  std::string name;
};

// Where each source's ranges come from besides the RANGE arguments. A new
// kind is an option in the Ranges group, a class in range_providers.cpp and a
// line in MakeRangeProvider.
class RangeProvider {
 public:
  virtual ~RangeProvider() = default;
  // The ranges of the source at sourcePath (given: as on the command line),
  // whose format was read when it was opened.
  virtual ProvidedRanges Read(const std::string& given, const std::string& sourcePath,
                              const SoundFormatInfo& format,
                              const ranges::SourceShape& shape) const = 0;
};

// The provider the options ask for; null when the ranges are RANGE arguments
// only. A provider that reads the samples shows its progress through context.
std::unique_ptr<RangeProvider> MakeRangeProvider(const CutOptions& o, RunContext& context);

// A list file's path for one source: {stem} becomes the source's name without
// extension, and a path holding it is taken from the source's folder when
// relative ("{stem}.cue" lies beside the source); other paths are as given.
std::string ListPathFor(const std::string& listPath, const std::string& sourcePath);

}  // namespace snipora::cli
