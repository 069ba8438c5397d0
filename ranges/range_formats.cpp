#include "ranges/range_formats.h"

#include "ranges/audacity_labels.h"
#include "ranges/csv_ranges.h"
#include "ranges/cue_sheet.h"
#include "ranges/list_encoding.h"

namespace snipora::ranges {

std::optional<RangeFormat> RangeFormatNamed(std::string_view name) {
  if (name == "labels") return RangeFormat::AudacityLabels;
  if (name == "cue") return RangeFormat::CueSheet;
  if (name == "csv") return RangeFormat::Csv;
  return std::nullopt;
}

std::optional<RangeFormat> RangeFormatOfPath(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == "txt") return RangeFormat::AudacityLabels;
  if (extension == "cue") return RangeFormat::CueSheet;
  if (extension == "csv") return RangeFormat::Csv;
  return std::nullopt;
}

RangeListRead ReadRangeList(RangeFormat format, const std::string& text, const SourceShape& shape,
                            const std::string& encoding) {
  // A file that is not text at all is told as such before any encoding is tried.
  RangeListRead refused;
  ListLines(text, refused);
  const std::string utf8 = refused.ok() ? ListTextAsUtf8(text, encoding, refused) : "";
  if (!refused.ok()) return refused;
  switch (format) {
    case RangeFormat::AudacityLabels:
      return ReadAudacityLabels(utf8, shape);
    case RangeFormat::CueSheet:
      return ReadCueSheet(utf8, shape);
    case RangeFormat::Csv:
      return ReadCsvRanges(utf8, shape);
  }
  return {};
}

RangeListText WriteRangeList(RangeFormat format, const std::vector<LabeledRange>& ranges,
                             const SourceShape& shape, const std::string& sourceFileName) {
  switch (format) {
    case RangeFormat::AudacityLabels:
      return {WriteAudacityLabels(ranges, shape.sampleRate), {}, ""};
    case RangeFormat::CueSheet:
      return WriteCueSheet(ranges, shape, sourceFileName);
    case RangeFormat::Csv:
      return {WriteCsvRanges(ranges), {}, ""};
  }
  return {};
}

}  // namespace snipora::ranges
