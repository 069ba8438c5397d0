#pragma once

#include "foundation/text_encoding.h"

namespace snipora::test {

// Selects a text encoding for one test and restores the previous one after.
class EncodingScope {
 public:
  explicit EncodingScope(TextEncoding encoding) : saved_(GetTextEncoding()) {
    SetTextEncoding(encoding);
  }
  ~EncodingScope() { SetTextEncoding(saved_); }
  EncodingScope(const EncodingScope&) = delete;
  EncodingScope& operator=(const EncodingScope&) = delete;

 private:
  TextEncoding saved_;
};

}  // namespace snipora::test
