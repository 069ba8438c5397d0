#include "foundation/legacy_text.h"

#include <iconv.h>

#include <cerrno>

namespace snipora {

DecodedText DecodeToUtf8(std::string_view text, const std::string& encoding) {
  DecodedText decoded;
  const iconv_t converter = iconv_open("UTF-8", encoding.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    decoded.status = DecodedText::Status::kUnknownEncoding;
    return decoded;
  }
  // iconv takes a non-const input pointer but does not write through it.
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  std::string out(text.size() * 2 + 16, '\0');
  size_t done = 0;
  // Converts what is left of the input (none: ends a stateful encoding's
  // shift state), growing the output as needed.
  const auto convert = [&](bool flush) {
    while (true) {
      char* outAt = out.data() + done;
      size_t outLeft = out.size() - done;
      const size_t result = flush ? iconv(converter, nullptr, nullptr, &outAt, &outLeft)
                                  : iconv(converter, &in, &inLeft, &outAt, &outLeft);
      done = out.size() - outLeft;
      if (result != static_cast<size_t>(-1)) return true;
      if (errno != E2BIG) return false;  // EILSEQ: no such character; EINVAL: cut short
      out.resize(out.size() * 2);
    }
  };
  const bool converted = convert(false) && convert(true);
  iconv_close(converter);
  if (!converted) {
    decoded.status = DecodedText::Status::kBadByte;
    decoded.badOffset = text.size() - inLeft;
    return decoded;
  }
  out.resize(done);
  decoded.text = std::move(out);
  return decoded;
}

}  // namespace snipora
