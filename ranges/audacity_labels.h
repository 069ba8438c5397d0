#pragma once

#include "ranges/labeled_range.h"

// Audacity label files: one label a line, "start<TAB>end<TAB>text", times in
// seconds as decimals (with a decimal point, or a comma as Audacity writes
// them in German and other locales).
namespace snipora::ranges {

// Reads the labels of a label file as Audacity imports them; each bound is
// rounded to the nearest frame. A region label (start before end) is a
// range, however short, but one that rounds to no frame is refused. A point
// label (start equal to end, or a line whose second field is not a number:
// "start<TAB>text") starts a range that runs to the next label's start, the
// last one to the end of the data, as Audacity's export by labels cuts;
// audio before the first label is not cut. Frequency lines (starting with
// '\') and empty lines are ignored.
RangeListRead ReadAudacityLabels(const std::string& text, const SourceShape& shape);

// Every range as a region label, in seconds with enough decimals that it
// reads back as the same frames.
std::string WriteAudacityLabels(const std::vector<LabeledRange>& ranges, uint32_t sampleRate);

}  // namespace snipora::ranges
