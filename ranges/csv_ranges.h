#pragma once

#include "ranges/labeled_range.h"

// CSV range lists in sample frames: "start,end,label" a record, end
// exclusive, an optional header line first; fields quoted as RFC 4180 says
// (a label with commas, quotes or line breaks in double quotes, a quote
// doubled).
namespace snipora::ranges {

// Reads the records; refused: a record without two or three fields, a bound
// that is not a whole number, an empty, reversed or too long range.
RangeListRead ReadCsvRanges(const std::string& text, const SourceShape& shape);

// A header line and one record per range; reads back exactly.
std::string WriteCsvRanges(const std::vector<LabeledRange>& ranges);

}  // namespace snipora::ranges
