// Feeds arbitrary argument lists (separated by NUL) to the command-line
// front end's parser; the numbers it reads are checked against an exact
// reference. Range-list files have their own fuzzer (range_lists).
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "fuzz/fuzz_support.h"

using snipora::fuzz::Require;

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
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
  FuzzArguments(data, size);
  return 0;
}
