#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/str.h"
#include "foundation/text_encoding.h"

// printf-style formatting into a CStr_base<64>: numeric and character
// conversions are delegated to the C library one by one, strings are cut and
// padded here so that their length is unlimited and characters stay whole.
namespace snipora {
namespace {

// One conversion directive as read from the format.
struct Conversion {
  char flags[8] = {};  // distinct flags in the order first met
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  char lengthLetter = 0;
  char letter = 0;

  bool HasFlag(char flag) const { return std::strchr(flags, flag) != nullptr; }
};

bool IsFlag(char c) {
  return c != 0 && std::strchr("-+0 #", c) != nullptr;
}
bool IsConversionLetter(char c) {
  return c != 0 && std::strchr("cdiouxXeEfgGnps", c) != nullptr;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A '*' argument counts by its absolute value, as a width or precision.
int AbsoluteArgument(va_list* args) {
  const int value = va_arg(*args, int);
  if (value >= 0) return value;
  return value == INT32_MIN ? INT32_MAX : -value;
}

// Reads decimal digits, saturating rather than overflowing.
int ReadNumber(const char*& p) {
  int value = 0;
  for (; IsDigit(*p); ++p)
    value = value > (INT32_MAX - 9) / 10 ? INT32_MAX : value * 10 + (*p - '0');
  return value;
}

// Reads flags, width, precision and length letter after the '%'; p ends on
// the place where the conversion letter is expected.
Conversion ReadConversion(const char*& p, va_list* args) {
  Conversion conversion;
  size_t flagCount = 0;
  for (; IsFlag(*p); ++p) {
    if (!conversion.HasFlag(*p) && flagCount < sizeof(conversion.flags) - 1) {
      conversion.flags[flagCount++] = *p;
    }
  }
  if (*p == '*') {
    conversion.width = AbsoluteArgument(args);
    ++p;
  } else if (IsDigit(*p)) {
    conversion.width = ReadNumber(p);
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      conversion.precision = AbsoluteArgument(args);
      ++p;
    } else {
      conversion.precision = ReadNumber(p);
    }
  }
  if (*p == 'h' || *p == 'l') conversion.lengthLetter = *p++;
  conversion.letter = *p;
  return conversion;
}

// Rebuilds the directive for the C library, '*' replaced by its value.
void BuildDirective(const Conversion& conversion, bool keepLengthLetter, char* out, size_t size) {
  char width[16] = "";
  char precision[16] = "";
  char lengthLetter[2] = {keepLengthLetter ? conversion.lengthLetter : '\0', 0};
  if (conversion.width >= 0) std::snprintf(width, sizeof(width), "%d", conversion.width);
  if (conversion.precision >= 0) {
    std::snprintf(precision, sizeof(precision), ".%d", conversion.precision);
  }
  std::snprintf(out, size, "%%%s%s%s%s%c", conversion.flags, width, precision, lengthLetter,
                conversion.letter);
}

// Formats one value with the C library and appends the text. Short results
// go through a stack buffer; a longer one is formatted again at full size.
template <class Value>
void AppendPrinted(CStr_base<64>& out, const char* directive, Value value) {
  char buffer[260];
  const int length = std::snprintf(buffer, sizeof(buffer), directive, value);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof(buffer)) {
    // Text only: a %c of NUL ends here, as a string cannot hold NUL.
    out.Append(buffer);
    return;
  }
  CStr_base<64> large;
  large.Reserve(static_cast<uint32_t>(length) + 1);
  std::snprintf(const_cast<char*>(large.Buffer()), static_cast<size_t>(length) + 1, directive,
                value);
  out.Append(large.Buffer());
}

void AppendPadding(CStr_base<64>& out, char pad, int count) {
  for (int i = 0; i < count; ++i) out.AppendByte(pad);
}

// %s: cut to the precision without splitting a character, padded to width.
void AppendString(CStr_base<64>& out, const Conversion& conversion, const char* text) {
  if (text == nullptr) text = "(null)";
  size_t length = 0;
  if (conversion.precision < 0) {
    length = std::strlen(text);
  } else {
    const size_t limit = static_cast<size_t>(conversion.precision);
    while (text[length] != 0) {
      const size_t next = length + CharLength(text + length);
      if (next > limit) break;
      length = next;
    }
  }
  const int padding =
      conversion.width > static_cast<int>(length) ? conversion.width - static_cast<int>(length) : 0;
  if (conversion.HasFlag('-')) {
    out.Append(text, static_cast<uint32_t>(length));
    AppendPadding(out, ' ', padding);
  } else {
    AppendPadding(out, conversion.HasFlag('0') ? '0' : ' ', padding);
    out.Append(text, static_cast<uint32_t>(length));
  }
}

void AppendConversion(CStr_base<64>& out, const Conversion& conversion, va_list* args) {
  char directive[64];
  switch (conversion.letter) {
    case 's':
      AppendString(out, conversion, va_arg(*args, const char*));
      return;
    case 'n':
      *va_arg(*args, int*) = static_cast<int>(out.Length());
      return;
    case 'c':
      // A character is an int whatever the length letter.
      BuildDirective(conversion, false, directive, sizeof(directive));
      AppendPrinted(out, directive, va_arg(*args, int));
      return;
    case 'p':
      BuildDirective(conversion, false, directive, sizeof(directive));
      AppendPrinted(out, directive, va_arg(*args, void*));
      return;
    case 'e':
    case 'E':
    case 'f':
    case 'g':
    case 'G':
      BuildDirective(conversion, true, directive, sizeof(directive));
      AppendPrinted(out, directive, va_arg(*args, double));
      return;
    default:
      break;
  }
  BuildDirective(conversion, true, directive, sizeof(directive));
  const bool isSigned = conversion.letter == 'd' || conversion.letter == 'i';
  if (conversion.lengthLetter == 'l') {
    if (isSigned) {
      AppendPrinted(out, directive, va_arg(*args, long));
    } else {
      AppendPrinted(out, directive, va_arg(*args, unsigned long));
    }
  } else if (isSigned) {
    AppendPrinted(out, directive, va_arg(*args, int));
  } else {
    AppendPrinted(out, directive, va_arg(*args, unsigned));
  }
}

// Appends the character at p whole (a multi-byte character with all its
// bytes) and moves p past it.
void AppendCharacter(CStr_base<64>& out, const char*& p) {
  const size_t length = CharLength(p);
  out.Append(p, static_cast<uint32_t>(length));
  p += length;
}

void FormatInto(CStr_base<64>& out, const char* format, va_list* args) {
  const char* p = format;
  while (*p != 0) {
    if (*p != '%') {
      AppendCharacter(out, p);
      continue;
    }
    ++p;
    if (*p == '%') {
      out.AppendByte('%');
      ++p;
      continue;
    }
    const Conversion conversion = ReadConversion(p, args);
    // An unknown letter abandons the directive; it is read as text.
    if (!IsConversionLetter(conversion.letter)) {
      AppendCharacter(out, p);
      continue;
    }
    ++p;
    AppendConversion(out, conversion, args);
  }
}

}  // namespace

int CStr_base<64>::Format(const char* format, ...) {
  // Formatting into a fresh string lets an argument be this string's text.
  CStr_base<64> out;
  va_list args;
  va_start(args, format);
  FormatInto(out, format == nullptr ? "" : format, &args);
  va_end(args);
  Swap(out);
  return static_cast<int>(length_);
}

}  // namespace snipora
