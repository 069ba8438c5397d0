#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ranges/text_lines.h"

// The record every range-list reader produces and every writer takes: a
// range of sample frames with a name, and where it came from.
namespace snipora::ranges {

struct LabeledRange {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;  // exclusive
  std::string label;
  int line = 0;  // the line of the text it was read from (0: not from a text line)
};

// What a reader needs to know about the sound file the list belongs to.
struct SourceShape {
  uint32_t sampleRate = 0;
  uint64_t frames = 0;  // length of the sample data
};

// The result of reading a range list. With an error nothing else is meant to
// be used: a refused list adds no range.
struct RangeListRead {
  std::vector<LabeledRange> ranges;
  std::vector<std::string> notes;  // what was skipped, "line N: ..."
  std::string error;               // not empty: the list is refused
  int errorLine = 0;               // the line the error is on; 0: not tied to a line

  bool ok() const { return error.empty(); }
};

// The result of writing a range list in a format that cannot hold every
// bound exactly: the text, and one note for each bound that moved.
struct RangeListText {
  std::string text;
  std::vector<std::string> notes;
  std::string error;  // not empty: nothing can be written
};

// Why start..end cannot be cut out of frames of data; empty when it can.
std::string RangeProblem(uint64_t startFrame, uint64_t endFrame, uint64_t frames);

// Sets read's error (and its line) and drops what was read so far.
void Refuse(RangeListRead& read, int line, const std::string& message);

// The lines of a range list's text; a text that is not text is refused in
// `read` (with its line) and gives no lines.
std::vector<TextLine> ListLines(std::string_view text, RangeListRead& read);

}  // namespace snipora::ranges
