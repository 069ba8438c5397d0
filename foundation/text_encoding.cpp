#include "foundation/text_encoding.h"

namespace snipora {
namespace {

TextEncoding g_encoding = TextEncoding::Utf8;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

size_t Utf8Length(const unsigned char* text, size_t available) {
  const unsigned char lead = text[0];
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (length > available) return 1;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(text[i])) return 1;
  }
  // Reject overlong and out-of-range forms so every scanner agrees with a
  // strict decoder on where characters end.
  if (lead == 0xE0 && text[1] < 0xA0) return 1;
  if (lead == 0xED && text[1] > 0x9F) return 1;
  if (lead == 0xF0 && text[1] < 0x90) return 1;
  if (lead == 0xF4 && text[1] > 0x8F) return 1;
  return length;
}

bool IsCp932Lead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

void SetTextEncoding(TextEncoding encoding) {
  g_encoding = encoding;
}

TextEncoding GetTextEncoding() {
  return g_encoding;
}

bool IsLeadByte(unsigned char byte) {
  if (g_encoding == TextEncoding::CodePage932) return IsCp932Lead(byte);
  return byte >= 0xC2 && byte <= 0xF4;
}

size_t CharLength(const char* text, size_t available) {
  if (available == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (g_encoding == TextEncoding::CodePage932) {
    return IsCp932Lead(bytes[0]) && available >= 2 && bytes[1] != 0 ? 2 : 1;
  }
  return Utf8Length(bytes, available);
}

size_t CharLength(const char* text) {
  if (text[0] == 0) return 0;
  // A continuation byte is never NUL, so at most the terminator is examined.
  size_t available = 1;
  while (available < 4 && text[available] != 0) ++available;
  return CharLength(text, available);
}

size_t FirstNonUtf8Byte(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8Length(bytes + at, text.size() - at);
    if (length == 1 && bytes[at] >= 0x80) return at;
    at += length;
  }
  return std::string_view::npos;
}

std::string ReplaceNonUtf8(std::string_view text, std::string_view replacement) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t bad = FirstNonUtf8Byte(text.substr(at));
    if (bad == std::string_view::npos) {
      out += text.substr(at);
      break;
    }
    out += text.substr(at, bad);
    out += replacement;
    at += bad + 1;
  }
  return out;
}

}  // namespace snipora
