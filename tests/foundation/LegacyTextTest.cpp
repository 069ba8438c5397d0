// Telling UTF-8 from other text, and reading legacy code pages through iconv.
#include "foundation/legacy_text.h"

#include <gtest/gtest.h>

#include "foundation/text_encoding.h"

namespace snipora {
namespace {

TEST(LegacyText, FirstNonUtf8ByteIsWhereAStrictDecoderStops) {
  const struct {
    std::string text;
    size_t bad;
  } cases[] = {
      {"plain ascii", std::string::npos},
      {"日本語 and Привет", std::string::npos},
      {"\xF0\x9F\x8E\xB5 note", std::string::npos},
      {"Caf\xE9 au lait", 3},       // CP1252
      {"ab\xC0\x80", 2},            // overlong NUL
      {"\xED\xA0\x80", 0},          // a surrogate
      {"x\xF4\x90\x80\x80", 1},     // past U+10FFFF
      {"\xE6\x97\xA5\xE6\x9C", 3},  // cut off in the middle of a character
      {"\x93\xfa\x96\x7b", 0},      // Shift_JIS
  };
  for (const auto& c : cases) EXPECT_EQ(FirstNonUtf8Byte(c.text), c.bad) << c.text;
  EXPECT_EQ(ReplaceNonUtf8("a\xE9z\xC0\x80", "_"), "a_z__");
}

TEST(LegacyText, DecodesTheCodePagesRippersWrite) {
  const struct {
    const char* encoding;
    std::string text;
    DecodedText::Status status;
    std::string utf8;
    size_t badOffset;
  } cases[] = {
      {"CP1251", "\xCF\xF0\xE8\xE2\xE5\xF2", DecodedText::Status::kOk, "Привет", 0},
      {"cp1252", "Caf\xE9", DecodedText::Status::kOk, "Café", 0},
      {"SHIFT_JIS", "\x93\xfa\x96\x7b", DecodedText::Status::kOk, "日本", 0},
      {"CP932", "\x87\x40", DecodedText::Status::kOk, "①", 0},  // beyond plain Shift_JIS
      {"SHIFT_JIS", "ab\x87\x40", DecodedText::Status::kBadByte, "", 2},
      {"CP1252", "ok\x81", DecodedText::Status::kBadByte, "", 2},  // a byte with no character
      {"CP932", "ok\x93", DecodedText::Status::kBadByte, "", 2},   // cut off after a lead byte
      {"NO-SUCH-CODE-PAGE", "x", DecodedText::Status::kUnknownEncoding, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    const DecodedText decoded = DecodeToUtf8(c.text, c.encoding);
    EXPECT_EQ(decoded.status, c.status);
    EXPECT_EQ(decoded.text, c.utf8);
    EXPECT_EQ(decoded.badOffset, c.badOffset);
  }
}

}  // namespace
}  // namespace snipora
