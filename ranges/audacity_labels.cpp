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

// Seconds written as a decimal -> the nearest frame, exactly (no floating
// point): whole seconds x rate plus the fraction x rate, rounded half up.
std::optional<uint64_t> SecondsToFrame(std::string_view text, uint32_t rate) {
  size_t i = 0;
  uint64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (whole >= 1000000000u) return std::nullopt;  // keeps whole x rate within 128 bits
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  uint64_t numerator = 0, denominator = 1;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (denominator < 1000000000000u) {  // digits past 10^-12 s cannot move a frame
        numerator = numerator * 10 + static_cast<uint64_t>(text[i] - '0');
        denominator *= 10;
      }
    }
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  // numerator < denominator <= 10^12 and rate < 2^32: the products fit 64
  // bits only after a split, so work in 128 bits; a frame beyond 64 bits
  // cannot be named.
  const unsigned __int128 fraction = static_cast<unsigned __int128>(numerator) * rate;
  const unsigned __int128 frame = static_cast<unsigned __int128>(whole) * rate +
                                  (fraction * 2 + denominator) / (2 * denominator);
  if (frame > UINT64_MAX) return std::nullopt;
  return static_cast<uint64_t>(frame);
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
  for (const TextLine& line : lines) {
    if (Trimmed(line.text).empty() || line.text[0] == '\\') continue;
    const size_t tab1 = line.text.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.text.find('\t', tab1 + 1);
    const auto start = SecondsToFrame(Trimmed(line.text.substr(0, tab1)), shape.sampleRate);
    const auto end = tab1 == std::string::npos
                         ? std::nullopt
                         : SecondsToFrame(Trimmed(line.text.substr(tab1 + 1, tab2 - tab1 - 1)),
                                          shape.sampleRate);
    if (!start || !end) {
      Refuse(read, line.number,
             Say(QT_TRANSLATE_NOOP("ranges", "not start<TAB>end<TAB>label (seconds)")));
      return read;
    }
    const std::string label(tab2 == std::string::npos ? "" : line.text.substr(tab2 + 1));
    read.ranges.push_back({*start, *end, label, line.number});
  }
  // A point runs to the next label that starts after it, or to the end.
  std::vector<uint64_t> starts;
  for (const LabeledRange& r : read.ranges) starts.push_back(r.startFrame);
  std::sort(starts.begin(), starts.end());
  std::vector<LabeledRange> pieces;
  for (LabeledRange range : read.ranges) {
    if (range.startFrame == range.endFrame) {
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
    pieces.push_back(range);
  }
  read.ranges = std::move(pieces);
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
