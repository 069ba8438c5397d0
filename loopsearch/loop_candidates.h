#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "loopsearch/loop_search.h"
#include "loopsearch/loop_search_options.h"

// Loop points from the loop search: where a stretch of a range recurs, as
// frame positions ranked by how smoothly the loop joins.
namespace snipora {

// A loop over frames [startFrame, endFrame), end exclusive.
struct LoopCandidate {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;
  // Sum of the absolute differences between the window that follows the
  // loop's end and the window at its start (the sound that plays after the
  // seam against the sound the file would have there): 0 for an exact repeat.
  uint64_t seamDifference = 0;
};

struct LoopCandidateRequest {
  std::string path;
  SoundFormatInfo format;
  uint64_t startFrame = 0;  // the window compared is taken here
  uint64_t endFrame = 0;    // exclusive; the window after a loop's end lies before it
  int lengthIndex = kDefaultLoopLength;
  int precisionIndex = kDefaultLoopPrecision;
};

// Runs the loop search with its window at startFrame and candidates up to
// endFrame, and returns the loops it finds: starting at startFrame, ending on
// a frame boundary after it, smallest seam difference first (shorter loop
// first on ties). Of ends one frame apart (the same seam) only the best is kept.
// The search's failures are told through `ui`; a cancelled search returns
// what it found so far with `end` set.
std::vector<LoopCandidate> FindLoopCandidates(const LoopCandidateRequest& request,
                                              ILoopSearchProgress& progress, IUiServices& ui,
                                              LoopSearchEnd& end);

}  // namespace snipora
