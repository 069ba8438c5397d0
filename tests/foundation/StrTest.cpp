#include "foundation/str.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/foundation/encoding_scope.h"

namespace snipora {
namespace {

using test::EncodingScope;

TEST(StrTest, NewStringSharesTheEmptyBufferUntilAssigned) {
  CStr a;
  CStr b;
  EXPECT_EQ(a.Capacity(), 0u);
  EXPECT_EQ(a.Length(), 0u);
  EXPECT_STREQ(a.Buffer(), "");
  EXPECT_EQ(a.Buffer(), b.Buffer());

  a.Assign("");
  EXPECT_EQ(a.Capacity(), 64u);
  EXPECT_STREQ(a.Buffer(), "");
  EXPECT_NE(a.Buffer(), b.Buffer());
}

struct GrowthCase {
  uint32_t startCapacity;  // 0: a new string
  uint32_t reserve;
  uint32_t expected;
};

TEST(StrTest, ReserveFollowsTheStepOfTheCurrentCapacity) {
  const GrowthCase cases[] = {
      {0, 10, 64},
      {64, 10, 64},
      {64, 63, 64},
      {64, 64, 128},
      {64, 70, 128},
      {64, 500, 500},
      {1023, 1023, 1087},
      {1024, 1100, 1280},
      {1024, 2000, 2000},
      {4096, 4096, 5120},
      {16384, 16384, 20480},
      {65536, 65536, 81920},
      {131072, 131072, 196608},
  };
  for (const GrowthCase& c : cases) {
    CStr s;
    if (c.startCapacity != 0) s.Reserve(c.startCapacity);
    ASSERT_EQ(s.Capacity(), c.startCapacity);
    s.Assign("keep");
    s.Reserve(c.reserve);
    EXPECT_EQ(s.Capacity(), c.expected)
        << "capacity " << c.startCapacity << " reserve " << c.reserve;
    EXPECT_STREQ(s.Buffer(), "keep");
  }
}

TEST(StrTest, ByteAppendsReallocateRarely) {
  CStr s;
  std::string expected;
  int reallocations = 0;
  for (int i = 0; i < 300000; ++i) {
    const uint32_t before = s.Capacity();
    const char c = static_cast<char>('a' + i % 26);
    s.AppendByte(c);
    expected.push_back(c);
    if (s.Capacity() != before) ++reallocations;
  }
  EXPECT_EQ(s.Length(), expected.size());
  EXPECT_EQ(std::string(s.Buffer()), expected);
  // 16 steps of 64, 12 of 256, 12 of 1024, 12 of 4096, 4 of 16384, 3 of 65536.
  EXPECT_EQ(reallocations, 59);
}

TEST(StrTest, AssignAndAppendVariants) {
  CStr s;
  s.Assign("abcdef", 3);
  EXPECT_STREQ(s.Buffer(), "abc");
  s.Assign("ab\0cd", 5);  // stops at the NUL
  EXPECT_STREQ(s.Buffer(), "ab");
  EXPECT_EQ(s.Length(), 2u);
  CStr generous;
  generous.Assign("abc", 1000000);  // room for what is copied, not for n
  EXPECT_EQ(generous.Capacity(), 64u);
  s.Assign("whole", -1);
  EXPECT_STREQ(s.Buffer(), "whole");
  s.Assign(nullptr);
  EXPECT_STREQ(s.Buffer(), "");

  s.Append("12345", 2);
  s.AppendByte('\0');
  s.AppendByte('x');
  s.Append("yz");
  EXPECT_STREQ(s.Buffer(), "12xyz");
  EXPECT_EQ(s.Length(), 5u);

  s.Truncate(2);
  EXPECT_STREQ(s.Buffer(), "12");
  s.Truncate(10);
  EXPECT_STREQ(s.Buffer(), "12");
}

TEST(StrTest, OwnTextAsArgumentSurvivesReallocation) {
  CStr s;
  s.Assign(std::string(63, 'a').c_str());  // capacity 65: appending its own text must grow
  s.Append(s.Buffer());
  EXPECT_EQ(std::string(s.Buffer()), std::string(126, 'a'));

  s.Assign("prefix-tail");
  s.Assign(s.Buffer() + 7);
  EXPECT_STREQ(s.Buffer(), "tail");

  const CStr& alias = s;
  s = alias;
  EXPECT_STREQ(s.Buffer(), "tail");
}

TEST(StrTest, CopiesAreIndependent) {
  CStr a("one");
  CStr b(a);
  CStr c;
  c = a;
  a.Assign("changed");
  EXPECT_STREQ(b.Buffer(), "one");
  EXPECT_STREQ(c.Buffer(), "one");
}

struct FindCase {
  const char* name;
  TextEncoding encoding;
  const char* text;
  const char* needle;
  int start;
  int expected;
};

TEST(StrTest, FindStepsOverMultiByteCharacters) {
  const FindCase cases[] = {
      {"first", TextEncoding::Utf8, "abcabc", "c", 0, 2},
      {"from start", TextEncoding::Utf8, "abcabc", "c", 3, 5},
      {"at start", TextEncoding::Utf8, "abcabc", "abc", 3, 3},
      {"empty needle", TextEncoding::Utf8, "abc", "", 2, 0},
      {"negative start", TextEncoding::Utf8, "abc", "a", -1, -1},
      {"start at end", TextEncoding::Utf8, "abc", "a", 3, -1},
      {"start beyond end", TextEncoding::Utf8, "abc", "a", 50, -1},
      {"missing", TextEncoding::Utf8, "abc", "abd", 0, -1},
      {"second byte of cp932 char", TextEncoding::CodePage932, "\x95\x5c\\", "\\", 0, 2},
      {"same bytes as utf-8", TextEncoding::Utf8, "\x95\x5c\\", "\\", 0, 1},
      {"inside utf-8 char", TextEncoding::Utf8, "a\xE3\x81\x82\x81", "\x81", 0, 4},
      {"multi-byte needle", TextEncoding::Utf8, "x\xE3\x81\x82y", "\xE3\x81\x82", 0, 1},
  };
  for (const FindCase& c : cases) {
    EncodingScope scope(c.encoding);
    EXPECT_EQ(CStr::Find(c.text, c.needle, c.start), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace snipora
