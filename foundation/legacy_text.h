#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text in the legacy code pages that other programs still write (CP1251,
// CP1252, Shift_JIS as CP932 ...), turned into UTF-8 through the C library's
// iconv.
namespace snipora {

struct DecodedText {
  enum class Status { kOk, kUnknownEncoding, kBadByte };
  Status status = Status::kOk;
  std::string text;      // UTF-8, when kOk
  size_t badOffset = 0;  // of the first byte the encoding cannot read, when kBadByte
};

// text, read as the encoding iconv knows by that name (any letter case), as
// UTF-8; the whole text or nothing.
DecodedText DecodeToUtf8(std::string_view text, const std::string& encoding);

}  // namespace snipora
