#include "ranges/csv_ranges.h"

#include "ranges/messages.h"
#include "ranges/text_lines.h"

namespace snipora::ranges {

namespace {

constexpr const char* kRecordShape =
    QT_TRANSLATE_NOOP("ranges", "not start,end,label (sample frames)");

struct Field {
  std::string text;
  bool quoted = false;
};

// Splits one record into fields; a quoted field may go on over the next
// lines (at is moved past them). False when a quote is not closed properly.
bool SplitRecord(const std::vector<TextLine>& lines, size_t& at, std::vector<Field>& fields) {
  std::string record(lines[at].text);
  fields.assign(1, {});
  bool inQuotes = false;
  for (size_t i = 0;; ++i) {
    if (i == record.size()) {
      if (!inQuotes) break;
      if (++at == lines.size()) return false;  // the quote never closes
      record += "\n" + std::string(lines[at].text);
    }
    const char c = record[i];
    Field& field = fields.back();
    if (inQuotes) {
      if (c != '"') {
        field.text += c;
      } else if (i + 1 < record.size() && record[i + 1] == '"') {
        field.text += '"';
        ++i;
      } else {
        inQuotes = false;
      }
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '"' && !field.quoted && Trimmed(field.text).empty()) {
      field.text.clear();
      field.quoted = inQuotes = true;
    } else if (field.quoted && c != ' ' && c != '\t') {
      return false;  // text after the closing quote
    } else if (!field.quoted) {
      field.text += c;
    }
  }
  for (Field& field : fields) {
    if (!field.quoted) field.text = Trimmed(field.text);
  }
  return true;
}

// A label as a CSV field: quoted when it holds what a plain field cannot.
std::string LabelField(const std::string& label) {
  const std::string line = OneLineLabel(label);
  const bool plain =
      line.find_first_of(",\"") == std::string::npos && Trimmed(line).size() == line.size();
  if (plain) return line;
  std::string field = "\"";
  for (char c : line) field += c == '"' ? std::string("\"\"") : std::string(1, c);
  return field + "\"";
}

}  // namespace

RangeListRead ReadCsvRanges(const std::string& text, const SourceShape& shape) {
  RangeListRead read;
  const std::vector<TextLine> lines = ListLines(text, read);
  if (!read.ok()) return read;
  bool firstRecord = true;
  std::vector<Field> fields;
  for (size_t at = 0; at < lines.size(); ++at) {
    const int number = lines[at].number;
    if (Trimmed(lines[at].text).empty()) continue;
    if (!SplitRecord(lines, at, fields)) {
      Refuse(read, number,
             Say(QT_TRANSLATE_NOOP("ranges", "a quoted field is not closed properly")));
      return read;
    }
    const auto start = ParseFrameNumber(fields[0].text);
    std::optional<uint64_t> end;
    if (fields.size() > 1) end = ParseFrameNumber(fields[1].text);
    // A first record whose start and end are both not numbers is the header;
    // one number in it makes it a range with a typo, refused below.
    if (firstRecord && !start && !end) {
      firstRecord = false;
      continue;
    }
    firstRecord = false;
    if (!start || !end || fields.size() > 3) {
      Refuse(read, number, Say(kRecordShape));
      return read;
    }
    const std::string problem = RangeProblem(*start, *end, shape.frames);
    if (!problem.empty()) {
      Refuse(read, number, problem);
      return read;
    }
    read.ranges.push_back({*start, *end, fields.size() == 3 ? fields[2].text : "", number});
  }
  return read;
}

std::string WriteCsvRanges(const std::vector<LabeledRange>& ranges) {
  std::string text = "start,end,label\n";
  for (const LabeledRange& r : ranges) {
    text += std::to_string(r.startFrame) + "," + std::to_string(r.endFrame) + "," +
            LabelField(r.label) + "\n";
  }
  return text;
}

}  // namespace snipora::ranges
