#pragma once

#include "foundation/array.h"
#include "foundation/str.h"

namespace snipora {

// An owning array of strings: capture lists, split lines, path components.
template <>
class CStrArray_base<64> : public CArrayAuto<CStr_base<64>> {
 public:
  using CArrayAuto<CStr_base<64>>::Add;

  // Appends a copy of text.
  CStr_base<64>& Add(const char* text);

  // Clears the array, then appends the pieces of text between occurrences of
  // separator (never splitting a multi-byte character), empty pieces and the
  // piece after the last separator included. An empty separator gives the
  // whole text as one piece. Returns the number of pieces.
  int Split(const char* text, const char* separator);
};

using CStrArray = CStrArray_base<64>;

}  // namespace snipora
