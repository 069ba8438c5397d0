#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The process-wide encoding of 8-bit text (paths, UI strings, settings).
// Every scanner that must not split a character asks CharLength.
namespace snipora {

enum class TextEncoding {
  Utf8,         // Linux default
  CodePage932,  // Shift-JIS: lead byte 0x81-0x9F or 0xE0-0xFC plus a non-NUL byte
};

void SetTextEncoding(TextEncoding encoding);
TextEncoding GetTextEncoding();

// Byte length of the character that starts at text[0], never reaching past
// `available` bytes nor over a NUL: 1 for a single byte, a stray or invalid
// byte or a truncated sequence; 2 (code page 932) or 2-4 (UTF-8) for a
// multi-byte character. 0 when available is 0.
size_t CharLength(const char* text, size_t available);

// Same for NUL-terminated text; 0 at the terminator.
size_t CharLength(const char* text);

// True when the byte can start a multi-byte character in the current
// encoding (code page 932 lead byte, UTF-8 lead byte 0xC2-0xF4).
bool IsLeadByte(unsigned char byte);

// Whatever the process-wide encoding: the offset of the first byte of text
// that is not part of well-formed UTF-8 (overlong forms, surrogates and code
// points past U+10FFFF are not); npos when all of it is.
size_t FirstNonUtf8Byte(std::string_view text);

// text with each byte that is not part of well-formed UTF-8 replaced.
std::string ReplaceNonUtf8(std::string_view text, std::string_view replacement);

}  // namespace snipora
