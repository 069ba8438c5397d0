// Feeds arbitrary text to the command-line front end's own readers: the
// Audacity label file (flag byte even; the next four bytes are the sample
// rate) and the argument list (flag byte odd; arguments separated by NUL).
// Numbers read are checked against an exact reference.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/label_file.h"
#include "fuzz/fuzz_support.h"

using snipora::fuzz::Require;

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\n\v\f\r");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\n\v\f\r") + 1 - begin);
}

// Seconds "W.F" (blanks around, digits only, one optional point, at most ten
// significant whole digits) -> the nearest frame, rounded half up, in 128
// bits; nothing beyond 64 bits or for other text.
std::optional<uint64_t> ReferenceFrame(const std::string& field, uint32_t rate) {
  const std::string text = Trimmed(field);
  const size_t point = text.find('.');
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

void FuzzLabels(const uint8_t* data, size_t size) {
  if (size < 4) return;
  uint32_t rate = 0;
  std::memcpy(&rate, data, 4);
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  const snipora::cli::LabelParse parse = snipora::cli::ParseLabels(text, rate);
  int previousLine = 0;
  for (const auto& range : parse.ranges) {
    Require(range.startFrame != range.endFrame, "a point label was kept");
    Require(range.line > previousLine, "labels out of line order");
    previousLine = range.line;
  }
  // One plain line "start<TAB>end[<TAB>label]": both bounds exactly.
  const size_t tab1 = text.find('\t');
  if (text.find('\n') != std::string::npos || tab1 == std::string::npos) return;
  const size_t tab2 = text.find('\t', tab1 + 1);
  const auto start = ReferenceFrame(text.substr(0, tab1), rate);
  const auto end = ReferenceFrame(text.substr(tab1 + 1, tab2 - tab1 - 1), rate);
  if (start && end && *start != *end) {
    Require(parse.error.empty() && parse.ranges.size() == 1, "a plain label was refused");
    Require(parse.ranges[0].startFrame == *start && parse.ranges[0].endFrame == *end,
            "a label bound reads as another frame");
  }
  if (parse.ranges.size() == 1) {
    Require(start && end, "a label bound beyond 64-bit frames was accepted");
  }
}

void FuzzArguments(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  const auto* p = reinterpret_cast<const char*>(data);
  const char* const end = p + size;
  while (p < end) {
    const auto* stop = static_cast<const char*>(std::memchr(p, 0, end - p));
    if (stop == nullptr) stop = end;
    args.emplace_back(p, stop);
    p = stop == end ? end : stop + 1;
  }
  snipora::cli::ParseArguments(args);
  for (const std::string& arg : args) {
    const auto number = snipora::cli::ParseUnsigned(arg);
    const size_t firstSignificant = arg.find_first_not_of('0');
    const std::string significant =
        firstSignificant == std::string::npos ? "0" : arg.substr(firstSignificant);
    const bool fits = AllDigits(arg) && (significant.size() < 10 ||
                                         (significant.size() == 10 && significant <= "4294967295"));
    Require(number.has_value() == fits, "ParseUnsigned accepts or refuses wrongly");
    if (number) Require(std::to_string(*number) == significant, "a number reads differently");
    snipora::cli::ParseRangeText(arg);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    FuzzArguments(data + 1, size - 1);
  } else {
    FuzzLabels(data + 1, size - 1);
  }
  return 0;
}
