#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ranges/labeled_range.h"

// The text formats of range lists, chosen by name or by file extension.
namespace snipora::ranges {

enum class RangeFormat {
  AudacityLabels,  // "labels", .txt
  CueSheet,        // "cue", .cue
  Csv,             // "csv", .csv
};

// "labels", "cue" or "csv"; nothing for another name.
std::optional<RangeFormat> RangeFormatNamed(std::string_view name);

// By the extension of path (any letter case): .txt, .cue, .csv.
std::optional<RangeFormat> RangeFormatOfPath(std::string_view path);

// Reads a list of that format. Text that is not UTF-8 is read in `encoding`
// (an iconv name such as CP1251 or SHIFT_JIS) when one is named, else
// refused with the line it fails on (see ListTextAsUtf8).
RangeListRead ReadRangeList(RangeFormat format, const std::string& text, const SourceShape& shape,
                            const std::string& encoding = {});

// The list as text of that format for the sound file named sourceFileName
// (a CUE sheet names it); notes say what could not be written exactly.
RangeListText WriteRangeList(RangeFormat format, const std::vector<LabeledRange>& ranges,
                             const SourceShape& shape, const std::string& sourceFileName);

}  // namespace snipora::ranges
