#pragma once

#include <cstddef>

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

}  // namespace snipora
