#pragma once

#include <memory>

#include "cli/cut_runner.h"
#include "cli/range_providers.h"
#include "ranges/sounds_between_silences.h"

namespace snipora::cli {

// --silence: a source's ranges are the sounds between its silences, found in
// one pass over its samples with a progress bar on the terminal (unless
// quiet); an interrupt stops the scan. A source without any sound is refused.
std::unique_ptr<RangeProvider> MakeSilenceRanges(const ranges::SilenceRules& rules, bool quiet,
                                                 RunContext& context);

}  // namespace snipora::cli
