#include "foundation/str_array.h"

#include <cstring>

#include "foundation/text_encoding.h"

namespace snipora {

CStr_base<64>& CStrArray_base<64>::Add(const char* text) {
  CStr_base<64>& element = Add();
  element.Assign(text);
  return element;
}

int CStrArray_base<64>::Split(const char* text, const char* separator) {
  Clear();
  if (text == nullptr) text = "";
  const size_t separatorLength = separator == nullptr ? 0 : std::strlen(separator);
  if (separatorLength == 0) {
    Add(text);
    return 1;
  }
  const char* pieceStart = text;
  const char* at = text;
  while (*at != 0) {
    if (std::strncmp(at, separator, separatorLength) == 0) {
      Add().Assign(pieceStart, static_cast<int>(at - pieceStart));
      at += separatorLength;
      pieceStart = at;
    } else {
      at += CharLength(at);
    }
  }
  Add(pieceStart);
  return static_cast<int>(Count());
}

}  // namespace snipora
