#pragma once

#include "ranges/labeled_range.h"

// Audacity label files: one label a line, "start<TAB>end<TAB>text", times in
// seconds as decimals.
namespace snipora::ranges {

// Reads the labels of a label file; each bound is rounded to the nearest
// frame. A region label (start before end) is a range. A point label (start
// equal to end) starts a range that runs to the next label's start, the last
// one to the end of the data, as Audacity's export by labels cuts; audio
// before the first label is not cut. Frequency lines (starting with '\') and
// empty lines are ignored.
RangeListRead ReadAudacityLabels(const std::string& text, const SourceShape& shape);

// Every range as a region label, in seconds with enough decimals that it
// reads back as the same frames.
std::string WriteAudacityLabels(const std::vector<LabeledRange>& ranges, uint32_t sampleRate);

}  // namespace snipora::ranges
