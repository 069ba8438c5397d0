// The main window's reading of typed values and list cells, checked against
// the C library's sscanf as an independent oracle: wherever sscanf's "%u"
// reads a value below 4294967295 without a sign '-', without overflow and
// with nothing but blanks after it, ReadUnsignedValue must read the same, and
// it must read nothing else.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/number_text.h"
#include "fuzz/fuzz_support.h"

using snipora::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The window's texts hold no NUL; sscanf would stop there anyway.
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));
  const std::optional<uint32_t> value = snipora::ReadUnsignedValue(text);

  // The oracle: sscanf's "%u" bounds the number; strtoull tells overflow and
  // sign apart, which sscanf does not report.
  unsigned int scanned = 0;
  int end = 0;
  const bool read =
      std::sscanf(text.c_str(), "%u%n", &scanned, &end) == 1 &&
      text.find_first_not_of(" \t\n\v\f\r", static_cast<size_t>(end)) == std::string::npos;
  const size_t start = text.find_first_not_of(" \t\n\v\f\r");
  const bool negative = start != std::string::npos && text[start] == '-';
  errno = 0;
  const unsigned long long wide = std::strtoull(text.c_str(), nullptr, 10);
  const bool fits = errno == 0 && wide < 0xFFFFFFFFull;
  const bool expected = read && !negative && fits;
  Require(value.has_value() == expected, "reads where \"%u\" does not, or not where it does");
  if (value) Require(*value == scanned && *value == wide, "reads another number than \"%u\"");
  return 0;
}
