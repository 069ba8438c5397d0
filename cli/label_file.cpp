#include "cli/label_file.h"

#include <cctype>
#include <optional>

namespace snipora::cli {

namespace {

// Seconds written as a decimal -> the nearest frame, exactly (no floating
// point): whole seconds x rate plus the fraction x rate, rounded half up.
std::optional<uint64_t> SecondsToFrame(const std::string& text, uint32_t rate) {
  size_t i = 0;
  uint64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
    if (whole >= 1000000000u) return std::nullopt;  // keeps whole x rate within 128 bits
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  uint64_t numerator = 0, denominator = 1;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
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

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

LabelParse ParseLabels(const std::string& text, uint32_t sampleRate) {
  LabelParse result;
  size_t lineStart = 0;
  for (int line = 1; lineStart < text.size(); ++line) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string row = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (Trimmed(row).empty() || row[0] == '\\') continue;
    const size_t tab1 = row.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : row.find('\t', tab1 + 1);
    const auto start = SecondsToFrame(Trimmed(row.substr(0, tab1)), sampleRate);
    const auto end =
        tab1 == std::string::npos
            ? std::nullopt
            : SecondsToFrame(Trimmed(row.substr(tab1 + 1, tab2 - tab1 - 1)), sampleRate);
    if (!start || !end) {
      result.error = "line " + std::to_string(line) + " is not start<TAB>end<TAB>label";
      return result;
    }
    if (*start == *end) {
      result.warnings.push_back("point label on line " + std::to_string(line) + " ignored");
      continue;
    }
    result.ranges.push_back({*start, *end, line});
  }
  return result;
}

}  // namespace snipora::cli
