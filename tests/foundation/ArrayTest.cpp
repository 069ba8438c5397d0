#include "foundation/array.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/str_array.h"
#include "tests/foundation/encoding_scope.h"

namespace snipora {
namespace {

using test::EncodingScope;

TEST(ArrayTest, BlocksGrowByTenThenFiftyThenTwoHundredFifty) {
  CArrayAuto<int> array;
  std::vector<std::pair<uint32_t, uint32_t>> capacityAfterAdds;  // (count, capacity) at changes
  uint32_t capacity = 0;
  for (uint32_t i = 1; i <= 800; ++i) {
    array.Add() = static_cast<int>(i);
    if (array.Capacity() != capacity) {
      capacity = array.Capacity();
      capacityAfterAdds.emplace_back(i, capacity);
    }
  }
  // Ten blocks of 10, an eleventh of 10 (capacity passes 100), then 50s up
  // to 510 (passes 500), then 250s.
  std::vector<std::pair<uint32_t, uint32_t>> expected;
  for (uint32_t c = 10; c <= 110; c += 10) expected.emplace_back(c - 9, c);
  for (uint32_t c = 160; c <= 510; c += 50) expected.emplace_back(c - 49, c);
  expected.emplace_back(511, 760);
  expected.emplace_back(761, 1010);
  EXPECT_EQ(capacityAfterAdds, expected);
  for (uint32_t i = 0; i < 800; ++i) ASSERT_EQ(array[i], static_cast<int>(i + 1));
}

TEST(ArrayTest, ReserveTakesAtLeastOneGrowthStep) {
  CArrayAuto<int> array;
  EXPECT_EQ(array.Reserve(3), 10u);
  EXPECT_EQ(array.Reserve(10), 10u);
  EXPECT_EQ(array.Reserve(45), 45u);  // 35 more than held: one block of 35
  EXPECT_EQ(array.Count(), 0u);
}

TEST(ArrayTest, ElementsNeverMove) {
  CStrArray array;
  CStr& first = array.Add("first");
  for (int i = 0; i < 5000; ++i) array.Add("more");
  EXPECT_EQ(&array[0], &first);
  EXPECT_STREQ(first.Buffer(), "first");
}

TEST(ArrayTest, OutOfRangeIndexThrowsTheIndex) {
  CStrArray array;
  array.Add("a");
  array.Add("b");
  array.Add("c");
  EXPECT_THROW(
      {
        try {
          array[3];
        } catch (uint32_t index) {
          EXPECT_EQ(index, 3u);
          throw;
        }
      },
      uint32_t);
  const CStrArray& constArray = array;
  EXPECT_THROW(constArray[7], uint32_t);
  EXPECT_THROW(array.RemoveAt(3), uint32_t);
  EXPECT_EQ(array.Count(), 3u);
}

TEST(ArrayTest, RemovalKeepsElementsForReuseInAFreshState) {
  CStrArray array;
  array.Add("a");
  CStr& removed = array.Add("b");
  array.Add("c");
  array.RemoveAt(1);
  ASSERT_EQ(array.Count(), 2u);
  EXPECT_STREQ(array[0].Buffer(), "a");
  EXPECT_STREQ(array[1].Buffer(), "c");

  CStr& reused = array.Add();
  EXPECT_EQ(&reused, &removed);
  EXPECT_STREQ(reused.Buffer(), "");

  EXPECT_EQ(array.RemoveLast(), 2);
  EXPECT_EQ(array.RemoveLast(), 1);
  EXPECT_EQ(array.RemoveLast(), 0);
  EXPECT_EQ(array.RemoveLast(), -1);

  array.Add("x");
  array.Clear();
  EXPECT_EQ(array.Count(), 0u);
  array.Resize(2);
  EXPECT_STREQ(array[0].Buffer(), "");
  array.Resize(1);  // never shrinks
  EXPECT_EQ(array.Count(), 2u);
}

TEST(ArrayTest, AddingACopyOfAnOwnElement) {
  CStrArray array;
  array.Add("keep");
  array.Add(array[0]);
  array.RemoveLast();
  // The spare element is the one about to be reused.
  array.Add(array[0]);
  EXPECT_STREQ(array[1].Buffer(), "keep");
}

struct CallbackLog {
  std::vector<std::string> calls;
  bool refuse = false;
};

bool RecordPrepare(CArrayAuto<int>&, uint32_t first, uint32_t count, void* user) {
  auto* log = static_cast<CallbackLog*>(user);
  log->calls.push_back("prepare " + std::to_string(first) + "+" + std::to_string(count));
  return !log->refuse;
}

void RecordRelease(CArrayAuto<int>&, uint32_t first, uint32_t count, void* user) {
  static_cast<CallbackLog*>(user)->calls.push_back("release " + std::to_string(first) + "+" +
                                                   std::to_string(count));
}

TEST(ArrayTest, CallbacksSeeTheRangesTakenAndReleased) {
  CallbackLog log;
  CArrayAuto<int> array;
  array.SetCallbacks(RecordPrepare, RecordRelease, &log);
  array.Add();
  array.Resize(4);
  array.RemoveAt(1);
  array.RemoveLast();
  array.Clear();
  const std::vector<std::string> expected = {"prepare 0+1", "prepare 1+3", "release 1+1",
                                             "release 2+1", "release 0+2"};
  EXPECT_EQ(log.calls, expected);

  log.refuse = true;
  try {
    array.Resize(5);
    FAIL() << "a refused prepare must throw";
  } catch (uint32_t requested) {
    EXPECT_EQ(requested, 5u);
  }
  EXPECT_EQ(array.Count(), 0u);
}

class CountingArray : public CArrayAuto<int> {
 public:
  int prepared = 0;

 protected:
  bool PrepareElements(uint32_t first, uint32_t count) override {
    prepared += static_cast<int>(count);
    return CArrayAuto<int>::PrepareElements(first, count);
  }
};

TEST(ArrayTest, DerivedPrepareOperationIsUsed) {
  CountingArray array;
  array.Add();
  array.Resize(3);
  EXPECT_EQ(array.prepared, 3);
}

TEST(ArrayTest, CopyIsDeep) {
  CArrayAuto<CStrArray> lists;
  CStrArray& first = lists.Add();
  first.Add("x");
  CArrayAuto<CStrArray> copy(lists);
  first[0].Assign("changed");
  ASSERT_EQ(copy.Count(), 1u);
  EXPECT_STREQ(copy[0][0].Buffer(), "x");
  copy = lists;
  EXPECT_STREQ(copy[0][0].Buffer(), "changed");
}

struct SplitCase {
  const char* name;
  TextEncoding encoding;
  const char* text;
  const char* separator;
  std::vector<std::string> pieces;
};

TEST(ArrayTest, SplitKeepsEmptyPiecesAndWholeCharacters) {
  const SplitCase cases[] = {
      {"empty piece", TextEncoding::Utf8, "a//b", "/", {"a", "", "b"}},
      {"empty text", TextEncoding::Utf8, "", "/", {""}},
      {"trailing separator", TextEncoding::Utf8, "a,b,", ",", {"a", "b", ""}},
      {"empty separator", TextEncoding::Utf8, "a,b", "", {"a,b"}},
      {"long separator", TextEncoding::Utf8, "a::b:c::", "::", {"a", "b:c", ""}},
      {"line feeds", TextEncoding::Utf8, "k=v\n[s]\n", "\n", {"k=v", "[s]", ""}},
      // 0x5C is the second byte of a code page 932 character: not a separator.
      {"cp932 second byte", TextEncoding::CodePage932, "\x95\x5c\\x", "\\", {"\x95\x5c", "x"}},
      {"utf-8 inner byte",
       TextEncoding::Utf8,
       "a\xE3\x81\x82\x81z",
       "\x81",
       {"a\xE3\x81\x82", "z"}},
      {"utf-8 text",
       TextEncoding::Utf8,
       "\xE3\x81\x82/\xE3\x81\x84",
       "/",
       {"\xE3\x81\x82", "\xE3\x81\x84"}},
  };
  for (const SplitCase& c : cases) {
    EncodingScope scope(c.encoding);
    CStrArray array;
    array.Add("stale");
    EXPECT_EQ(array.Split(c.text, c.separator), static_cast<int>(c.pieces.size())) << c.name;
    std::vector<std::string> pieces;
    for (uint32_t i = 0; i < array.Count(); ++i) pieces.emplace_back(array[i].Buffer());
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

}  // namespace
}  // namespace snipora
