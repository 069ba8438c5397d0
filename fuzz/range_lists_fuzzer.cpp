// Feeds arbitrary bytes to the range-list readers and the piece namer. The
// first byte chooses: 0 Audacity labels, 1 CUE sheet, 2 CSV, 3 WAVE markers,
// 4 a --name template (NUL, then labels separated by NUL); then come the
// sample rate and the frame count (4 bytes each), then the input. Every list
// read must be sound, read back from each text format as it was written,
// and a one-line label file must give exactly the frames of a reference.
#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "foundation/text_encoding.h"
#include "fuzz/fuzz_support.h"
#include "ranges/audacity_labels.h"
#include "ranges/piece_names.h"
#include "ranges/range_formats.h"
#include "ranges/text_lines.h"
#include "ranges/wave_markers.h"

using snipora::fuzz::Require;
namespace r = snipora::ranges;

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string Trimmed(const std::string& text) {
  return std::string(r::Trimmed(text));
}

// Seconds "W.F" or "W,F" (blanks around, digits only, one optional point, at most ten
// significant whole digits) -> the nearest frame, rounded half up, in 128
// bits; nothing beyond 64 bits or for other text.
std::optional<uint64_t> ReferenceFrame(const std::string& field, uint32_t rate) {
  const std::string text = Trimmed(field);
  const size_t point = text.find_first_of(".,");
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  if (whole.size() + fraction.size() == 0 || (!whole.empty() && !AllDigits(whole)) ||
      (!fraction.empty() && !AllDigits(fraction)) ||
      whole.size() - std::min(whole.size(), whole.find_first_not_of('0')) > 10) {
    return std::nullopt;
  }
  unsigned __int128 seconds = 0;
  for (char c : whole) seconds = seconds * 10 + static_cast<unsigned>(c - '0');
  unsigned __int128 numerator = 0, denominator = 1;
  for (size_t i = 0; i < fraction.size() && i < 12; ++i) {
    numerator = numerator * 10 + static_cast<unsigned>(fraction[i] - '0');
    denominator *= 10;
  }
  const unsigned __int128 frames =
      seconds * rate + (numerator * rate * 2 + denominator) / (2 * denominator);
  if (frames > UINT64_MAX) return std::nullopt;
  return static_cast<uint64_t>(frames);
}

// One plain line "start<TAB>end[<TAB>label]" of a region within the data
// reads as exactly its reference frames; a line whose start is no number is
// refused (one whose end is none is a point label).
void CheckOneLabelLine(const std::string& text, const r::SourceShape& shape,
                       const r::RangeListRead& read) {
  const size_t tab1 = text.find('\t');
  if (text.find_first_of("\n\r") != std::string::npos || tab1 == std::string::npos) return;
  const size_t tab2 = text.find('\t', tab1 + 1);
  const auto start = ReferenceFrame(text.substr(0, tab1), shape.sampleRate);
  const auto end = ReferenceFrame(text.substr(tab1 + 1, tab2 - tab1 - 1), shape.sampleRate);
  if (!start) {
    Require(read.ranges.empty(), "a label start beyond 64-bit frames or malformed was accepted");
  } else if (end && *start < *end && *end <= shape.frames && read.ok()) {
    Require(read.ranges.size() == 1 && read.ranges[0].startFrame == *start &&
                read.ranges[0].endFrame == *end,
            "a label bound reads as another frame");
  }
}

void CheckSound(const r::RangeListRead& read, const r::SourceShape& shape) {
  if (!read.ok()) {
    Require(read.ranges.empty(), "a refused list kept ranges");
    return;
  }
  for (const r::LabeledRange& range : read.ranges) {
    Require(range.startFrame < range.endFrame, "an empty or reversed range was accepted");
    Require(range.endFrame <= shape.frames, "a range beyond the data was accepted");
    Require(snipora::FirstNonUtf8Byte(range.label) == std::string::npos,
            "a label that is not UTF-8");
  }
}

bool SameRanges(const std::vector<r::LabeledRange>& a, const std::vector<r::LabeledRange>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.startFrame == y.startFrame && x.endFrame == y.endFrame &&
           r::OneLineLabel(x.label) == y.label;
  });
}

void CheckRoundTrips(const std::vector<r::LabeledRange>& ranges, const r::SourceShape& shape) {
  if (ranges.empty() || shape.sampleRate == 0) return;
  for (const r::RangeFormat format :
       {r::RangeFormat::Csv, r::RangeFormat::AudacityLabels, r::RangeFormat::CueSheet}) {
    const r::RangeListText text = r::WriteRangeList(format, ranges, shape, "s.wav");
    if (!text.error.empty()) {
      Require(format == r::RangeFormat::CueSheet, "a list could not be written");
      continue;
    }
    const r::RangeListRead back = r::ReadRangeList(format, text.text, shape);
    Require(back.ok(), "what was written is refused when read back");
    if (text.notes.empty()) Require(SameRanges(ranges, back.ranges), "a round trip changed ranges");
  }
}

void CheckNames(const std::string& input) {
  const std::string nameTemplate = input.substr(0, input.find('\0'));
  if (!r::CheckNameTemplate(nameTemplate).empty()) return;
  std::vector<r::LabeledRange> ranges;
  for (size_t at = nameTemplate.size(); at < input.size() && ranges.size() < 64;) {
    const size_t end = std::min(input.find('\0', at + 1), input.size());
    ranges.push_back({at, end, input.substr(at + 1, end - at - 1), 0});
    at = end;
  }
  if (ranges.empty()) ranges.push_back({0, 1, "", 0});
  const std::vector<std::string> names = r::PieceNames(nameTemplate, ranges, "source");
  Require(names.size() == ranges.size(), "not one name per piece");
  std::set<std::string> unique(names.begin(), names.end());
  Require(unique.size() == names.size(), "two pieces got the same name");
  for (const std::string& name : names) {
    Require(!name.empty() && name.size() <= 255 && name != "." && name != "..",
            "a name no file can have");
    Require(std::none_of(name.begin(), name.end(),
                         [](char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20; }),
            "a name with '/' or a control character");
    Require(snipora::FirstNonUtf8Byte(name) == std::string::npos, "a name that is not UTF-8");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  r::SourceShape shape;
  uint32_t frames = 0;
  std::memcpy(&shape.sampleRate, data + 1, 4);
  std::memcpy(&frames, data + 5, 4);
  shape.frames = frames;
  const std::string text(reinterpret_cast<const char*>(data + 9), size - 9);
  r::RangeListRead read;
  switch (data[0] % 5) {
    case 0:
      read = r::ReadRangeList(r::RangeFormat::AudacityLabels, text, shape);
      CheckOneLabelLine(text, shape, read);
      break;
    case 1:
      read = r::ReadRangeList(r::RangeFormat::CueSheet, text, shape);
      break;
    case 2:
      read = r::ReadRangeList(r::RangeFormat::Csv, text, shape);
      break;
    case 3: {
      r::MemoryBytes bytes(data + 9, size - 9);
      read = r::ReadWaveMarkers(bytes, shape);
      break;
    }
    default:
      CheckNames(text);
      return 0;
  }
  CheckSound(read, shape);
  if (read.ok()) CheckRoundTrips(read.ranges, shape);
  return 0;
}
