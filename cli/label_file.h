#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Audacity label files: one label a line, "start<TAB>end<TAB>text", times in
// seconds as decimals.
namespace snipora::cli {

struct LabelRange {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;
  int line = 0;
};

struct LabelParse {
  std::vector<LabelRange> ranges;
  std::vector<std::string> warnings;  // point labels that were skipped
  std::string error;                  // not empty: the first malformed line
};

// Reads the regions of a label file; each bound is rounded to the nearest
// frame at sampleRate. Point labels (start equal to end) are skipped with a
// warning; frequency-range lines (starting with '\') and empty lines are ignored.
LabelParse ParseLabels(const std::string& text, uint32_t sampleRate);

}  // namespace snipora::cli
