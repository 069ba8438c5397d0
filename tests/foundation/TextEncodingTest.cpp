#include "foundation/text_encoding.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

class EncodingScope {
 public:
  explicit EncodingScope(TextEncoding encoding) : saved_(GetTextEncoding()) {
    SetTextEncoding(encoding);
  }
  ~EncodingScope() { SetTextEncoding(saved_); }

 private:
  TextEncoding saved_;
};

struct LengthCase {
  const char* name;
  TextEncoding encoding;
  const char* text;
  size_t available;
  size_t expected;
};

class CharLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CharLengthTest, MeasuresOneCharacter) {
  const LengthCase& c = GetParam();
  EncodingScope scope(c.encoding);
  EXPECT_EQ(CharLength(c.text, c.available), c.expected);
}

constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto kSjis = TextEncoding::CodePage932;

INSTANTIATE_TEST_SUITE_P(
    Table, CharLengthTest,
    ::testing::Values(LengthCase{"AsciiUtf8", kUtf8, "a", 1, 1},
                      LengthCase{"HiraganaUtf8", kUtf8, "\xE3\x81\x82", 3, 3},
                      LengthCase{"TwoByteUtf8", kUtf8, "\xC3\xA9", 2, 2},
                      LengthCase{"FourByteUtf8", kUtf8, "\xF0\x9F\x8E\xB5", 4, 4},
                      LengthCase{"TruncatedUtf8", kUtf8, "\xE3\x81", 2, 1},
                      LengthCase{"StrayContinuation", kUtf8, "\x81.", 2, 1},
                      LengthCase{"OverlongUtf8", kUtf8, "\xE0\x80\xAE", 3, 1},
                      LengthCase{"SurrogateUtf8", kUtf8, "\xED\xA0\x80", 3, 1},
                      LengthCase{"NulStopsUtf8", kUtf8, "\xE3\0\0", 3, 1},
                      LengthCase{"EmptyInput", kUtf8, "", 0, 0},
                      LengthCase{"SjisKanji", kSjis, "\x95\x5C", 2, 2},
                      LengthCase{"SjisUpperLead", kSjis, "\xE0\x40", 2, 2},
                      LengthCase{"SjisLeadBeforeNul", kSjis, "\x81", 2, 1},
                      LengthCase{"SjisLeadAtEnd", kSjis, "\x81\x2E", 1, 1},
                      LengthCase{"SjisHalfWidthKana", kSjis, "\xB1", 1, 1},
                      LengthCase{"SjisSecondByteIsDot", kSjis, "\x81\x2E", 2, 2}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CharLength, TerminatedFormStopsAtNul) {
  EncodingScope scope(kUtf8);
  EXPECT_EQ(CharLength(""), 0u);
  EXPECT_EQ(CharLength("\xE3\x81\x82x"), 3u);
  EXPECT_EQ(CharLength("\xE3\x81"), 1u);
}

TEST(IsLeadByte, FollowsTheEncoding) {
  {
    EncodingScope scope(kSjis);
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte('.'));
  }
  EncodingScope scope(kUtf8);
  EXPECT_TRUE(IsLeadByte(0xE3));
  EXPECT_FALSE(IsLeadByte(0x81));
}

}  // namespace
}  // namespace snipora
