#include "ranges/audacity_labels.h"

#include <algorithm>
#include <optional>

#include "ranges/messages.h"
#include "ranges/text_lines.h"

namespace snipora::ranges {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Units of a time as read: 10^-12 s (digits past them cannot move a frame).
constexpr uint64_t kUnitsPerSecond = 1000000000000u;

// Seconds written as a decimal, with a decimal point or, as Audacity writes
// them in German and other locales, a comma; exactly (no floating point), in
// 10^-12 s. Nothing when malformed or of 10^10 s and more.
std::optional<unsigned __int128> ParseSeconds(std::string_view text) {
  size_t i = 0;
  uint64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (whole >= 1000000000u) return std::nullopt;  // keeps units x rate within 128 bits
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  uint64_t fraction = 0, scale = kUnitsPerSecond;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (scale > 1) {
        scale /= 10;
        fraction += static_cast<uint64_t>(text[i] - '0') * scale;
      }
    }
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  return static_cast<unsigned __int128>(whole) * kUnitsPerSecond + fraction;
}

// A time in 10^-12 s -> the nearest frame, rounded half up; nothing for a
// frame beyond 64 bits. (Below 10^22 units and 2^32 Hz the product fits.)
std::optional<uint64_t> FrameAt(unsigned __int128 units, uint32_t rate) {
  const unsigned __int128 frame = (units * rate * 2 + kUnitsPerSecond) / (2 * kUnitsPerSecond);
  if (frame > UINT64_MAX) return std::nullopt;
  return static_cast<uint64_t>(frame);
}

// A label as read: a point (one time) or a region.
struct Label {
  LabeledRange range;
  bool point = false;
};

// Reads one line the way Audacity imports it: the start, then the end, then
// the text; a second field that is not a number makes a point label at the
// start whose text is that field and what follows. Empty error when read.
std::string ReadLabel(const TextLine& line, uint32_t rate, Label& label) {
  const std::string badLine =
      Say(QT_TRANSLATE_NOOP("ranges", "not start<TAB>end<TAB>label (seconds)"));
  const size_t tab1 = line.text.find('\t');
  const auto start = ParseSeconds(Trimmed(line.text.substr(0, tab1)));
  if (!start) return badLine;
  const std::string_view rest =
      tab1 == std::string_view::npos ? std::string_view() : line.text.substr(tab1 + 1);
  const size_t tab2 = rest.find('\t');
  auto end = ParseSeconds(Trimmed(rest.substr(0, tab2)));
  std::string_view text =
      tab2 == std::string_view::npos ? std::string_view() : rest.substr(tab2 + 1);
  if (!end) {
    end = start;
    text = rest;
  }
  const auto startFrame = FrameAt(*start, rate);
  const auto endFrame = FrameAt(*end, rate);
  if (!startFrame || !endFrame) return badLine;
  label = {{*startFrame, *endFrame, std::string(text), line.number}, *start == *end};
  // A region stays a region however short, but it must hold a frame.
  if (*end > *start && *startFrame == *endFrame) {
    return Say(QT_TRANSLATE_NOOP("ranges",
                                 "the region is shorter than a frame at %1 Hz and "
                                 "rounds to none"),
               {std::to_string(rate)});
  }
  return "";
}

// frame / rate in seconds with `decimals` decimals, rounded half up.
std::string FrameToSeconds(uint64_t frame, uint32_t rate, int decimals) {
  unsigned __int128 scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const unsigned __int128 scaled = (static_cast<unsigned __int128>(frame) * scale * 2 + rate) /
                                   (2 * static_cast<unsigned __int128>(rate));
  std::string fraction = std::to_string(static_cast<uint64_t>(scaled % scale));
  fraction.insert(0, decimals - fraction.size(), '0');
  return std::to_string(static_cast<uint64_t>(scaled / scale)) + "." + fraction;
}

// Decimals enough that every frame reads back as itself: one unit of the
// last decimal must be less than a frame (10^d > rate); at least Audacity's 6.
int DecimalsFor(uint32_t rate) {
  int decimals = 0;
  for (uint64_t power = 1; power <= rate; power *= 10) ++decimals;
  return std::max(decimals, 6);
}

}  // namespace

RangeListRead ReadAudacityLabels(const std::string& text, const SourceShape& shape) {
  RangeListRead read;
  const std::vector<TextLine> lines = ListLines(text, read);
  if (!read.ok()) return read;
  std::vector<Label> labels;
  for (const TextLine& line : lines) {
    if (Trimmed(line.text).empty() || line.text[0] == '\\') continue;
    Label label;
    const std::string error = ReadLabel(line, shape.sampleRate, label);
    if (!error.empty()) {
      Refuse(read, line.number, error);
      return read;
    }
    labels.push_back(label);
  }
  // A point runs to the next label that starts after it, or to the end.
  std::vector<uint64_t> starts;
  for (const Label& label : labels) starts.push_back(label.range.startFrame);
  std::sort(starts.begin(), starts.end());
  for (auto [range, point] : labels) {
    if (point) {
      if (range.startFrame > shape.frames) {
        Refuse(read, range.line,
               Say(QT_TRANSLATE_NOOP("ranges", "the label lies beyond the data (%1 frames)"),
                   {std::to_string(shape.frames)}));
        return read;
      }
      const auto next = std::upper_bound(starts.begin(), starts.end(), range.startFrame);
      range.endFrame = next == starts.end() ? shape.frames : *next;
      if (range.startFrame == shape.frames) {
        read.notes.push_back(
            Say(QT_TRANSLATE_NOOP("ranges",
                                  "line %1: a point label at the end of the data starts no piece"),
                {std::to_string(range.line)}));
        continue;
      }
    }
    const std::string problem = RangeProblem(range.startFrame, range.endFrame, shape.frames);
    if (!problem.empty()) {
      Refuse(read, range.line, problem);
      return read;
    }
    read.ranges.push_back(range);
  }
  return read;
}

std::string WriteAudacityLabels(const std::vector<LabeledRange>& ranges, uint32_t sampleRate) {
  const uint32_t rate = std::max(sampleRate, 1u);  // no rate, no seconds: avoid dividing by 0
  const int decimals = DecimalsFor(rate);
  std::string text;
  for (const LabeledRange& r : ranges) {
    text += FrameToSeconds(r.startFrame, rate, decimals) + "\t" +
            FrameToSeconds(r.endFrame, rate, decimals) + "\t" + OneLineLabel(r.label) + "\n";
  }
  return text;
}

}  // namespace snipora::ranges
