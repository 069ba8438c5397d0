// Runs the pattern language on arbitrary patterns, texts, replacement
// templates and options. Input layout: one flag byte, then the pattern, the
// text and the template separated by NUL bytes (a NUL cannot occur inside
// any of them). Flag bits: 1 'i', 2 'g', 4 's', 8 use the template,
// 16 code page 932, 0xE0 the start offset (0-7). The text is cut to 64 bytes:
// a hostile pattern may cost up to the capture limit in steps at every text
// position (a lazy repetition that adds an empty capture each time), which
// is slow but bounded, and not what this target looks for.
#include <cstring>
#include <string>

#include "foundation/regex.h"
#include "foundation/text_encoding.h"
#include "fuzz/fuzz_support.h"

namespace {

using snipora::CStr_base;
using snipora::fuzz::Require;

constexpr size_t kMaxText = 64;

// The next NUL-separated field of the input.
std::string TakeField(const uint8_t*& p, const uint8_t* end) {
  const auto* stop = static_cast<const uint8_t*>(std::memchr(p, 0, end - p));
  if (stop == nullptr) stop = end;
  std::string field(reinterpret_cast<const char*>(p), stop - p);
  p = stop == end ? end : stop + 1;
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const uint8_t* p = data + 1;
  const uint8_t* const end = data + size;
  const std::string pattern = TakeField(p, end);
  const std::string text = TakeField(p, end).substr(0, kMaxText);
  const std::string replacement = TakeField(p, end);

  std::string options;
  if (flags & 1) options += 'i';
  if (flags & 2) options += 'g';
  if (flags & 4) options += 's';
  const bool withTemplate = (flags & 8) != 0;
  snipora::SetTextEncoding((flags & 16) != 0 ? snipora::TextEncoding::CodePage932
                                             : snipora::TextEncoding::Utf8);
  const int startOffset = flags >> 5;

  CStr_base<64> subject(text.c_str());
  snipora::CStrArray_base<64> captures;
  snipora::CArrayAuto<snipora::CStrArray_base<64>> matchCaptures;
  snipora::CArrayAuto<snipora::CStrRegexMatchStruct> hits;
  const int matches = subject.Regex(pattern.c_str(), options.c_str(), &captures,
                                    withTemplate ? replacement.c_str() : nullptr, &matchCaptures,
                                    startOffset, &hits, nullptr);

  Require(matches >= 0, "negative match count");
  Require((flags & 2) != 0 || matches <= 1, "more than one match without 'g'");
  Require(hits.Count() == static_cast<uint32_t>(matches), "hit list and match count differ");
  Require(matchCaptures.Count() == static_cast<uint32_t>(matches),
          "match-capture list and match count differ");
  if (!withTemplate) {
    Require(std::strcmp(subject.Buffer(), text.c_str()) == 0, "a search changed its text");
  }
  const int64_t limit = subject.Length();
  int64_t previousEnd = withTemplate ? 0 : startOffset;
  for (uint32_t i = 0; i < hits.Count(); ++i) {
    const snipora::CStrRegexMatchStruct& hit = hits[i];
    Require(hit.offset >= previousEnd && hit.length >= 0, "hits overlap or run backwards");
    Require(int64_t{hit.offset} + hit.length <= limit, "a hit reaches past the text");
    previousEnd = int64_t{hit.offset} + hit.length;
  }
  return 0;
}
