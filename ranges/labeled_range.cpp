#include "ranges/labeled_range.h"

namespace snipora::ranges {

std::string RangeProblem(uint64_t startFrame, uint64_t endFrame, uint64_t frames) {
  if (endFrame < startFrame) return "the end lies before the start";
  if (endFrame == startFrame) return "the range is empty";
  if (endFrame > frames) {
    return "the range ends beyond the data (" + std::to_string(frames) + " frames)";
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
