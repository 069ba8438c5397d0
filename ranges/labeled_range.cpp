#include "ranges/labeled_range.h"
#include "ranges/messages.h"

namespace snipora::ranges {

std::string RangeProblem(uint64_t startFrame, uint64_t endFrame, uint64_t frames) {
  if (endFrame < startFrame)
    return Say(QT_TRANSLATE_NOOP("ranges", "the end lies before the start"));
  if (endFrame == startFrame) return Say(QT_TRANSLATE_NOOP("ranges", "the range is empty"));
  if (endFrame > frames) {
    return Say(QT_TRANSLATE_NOOP("ranges", "the range ends beyond the data (%1 frames)"),
               {std::to_string(frames)});
  }
  return "";
}

void Refuse(RangeListRead& read, int line, const std::string& message) {
  read.ranges.clear();
  read.error = message;
  read.errorLine = line;
}

std::vector<TextLine> ListLines(std::string_view text, RangeListRead& read) {
  int badLine = 0;
  std::vector<TextLine> lines = SplitLines(text, &badLine);
  if (badLine) Refuse(read, badLine, NotTextMessage());
  return lines;
}

}  // namespace snipora::ranges
