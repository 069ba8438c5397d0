#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/regex.h"
#include "tests/foundation/encoding_scope.h"

// Long texts, hostile patterns and random input: the matcher must give the
// right answer where one exists and must never crash or hang.
namespace snipora {
namespace {

using test::EncodingScope;

int Search(const std::string& text, const std::string& pattern, const char* options,
           CStrArray* captures = nullptr, bool* gaveUp = nullptr) {
  CStr subject(text.c_str());
  return subject.Regex(pattern.c_str(), options, captures, nullptr, nullptr, 0, nullptr, nullptr,
                       gaveUp);
}

// The greedy run walks back from the end to the last '.', rebuilding its
// windows of remembered positions on the way (within a thousand, a million,
// and across millions); the capture proves each rebuilt position is right.
TEST(RegexRobustnessTest, GreedyRunsOverMillionsOfCharacters) {
  struct LongCase {
    int length;
    int dot;
  };
  const LongCase cases[] = {
      {20'000'000, 18'765'432},
      {3'000'001, 1'000'000},
      {3'000'001, 999'999},
      {2'500, 1'000},
  };
  for (const LongCase& c : cases) {
    SCOPED_TRACE(c.length);
    std::string text(static_cast<size_t>(c.length), 'a');
    text[static_cast<size_t>(c.dot)] = '.';
    CStrArray captures;
    ASSERT_EQ(Search(text, "%{%*j%e.%}", "s", &captures), 1);
    ASSERT_EQ(captures.Count(), 1u);
    EXPECT_EQ(captures[0].Length(), static_cast<uint32_t>(c.dot));
  }
}

TEST(RegexRobustnessTest, GreedyRunRecreatesCapturesWhenWalkingBack) {
  std::string text;
  for (int i = 0; i < 2'600; ++i) text += static_cast<char>('0' + i % 10);
  text[1'200] = 'x';
  CStrArray captures;
  ASSERT_EQ(Search(text, "%*{%j%}x", "s", &captures), 1);
  ASSERT_EQ(captures.Count(), 1'200u);
  for (uint32_t i = 0; i < captures.Count(); ++i) {
    ASSERT_EQ(captures[i].Buffer()[0], text[i]) << i;
  }
}

TEST(RegexRobustnessTest, NestingAndChainsWithinTheLimitsMatch) {
  std::string nested;
  for (int i = 0; i < kRegexMaxNesting; ++i) nested += "%{";
  nested += "x";
  CStrArray captures;
  EXPECT_EQ(Search("x", nested, "s", &captures), 1);
  EXPECT_EQ(captures.Count(), static_cast<uint32_t>(kRegexMaxNesting));

  std::string chain;
  for (int i = 0; i < 1'000; ++i) chain += "%*0j";
  EXPECT_EQ(Search("", chain, "s"), 1);
}

TEST(RegexRobustnessTest, HostilePatternsEndWithoutCrashing) {
  struct HostileCase {
    std::string pattern;
    std::string text;
    int expected;
  };
  std::string chain;
  for (int i = 0; i < 20'000; ++i) chain += "%*0j";
  std::string wrapped;
  for (int i = 0; i < 20'000; ++i) wrapped += "%z";
  std::string groups;
  for (int i = 0; i < 20'000; ++i) groups += "%{";
  const HostileCase cases[] = {
      {chain, "", 0},  // deeper than the matcher goes: no match
      // Openers beyond the nesting limit are text: a z there takes the
      // literal 'z' as its operand, a group opener stays a '{'.
      {wrapped + "a", "z", 1},
      {groups + "a", std::string(20'000 - kRegexMaxNesting, '{') + "a", 1},
      {"%2000000000(%)a", "a", 1},  // empty repetitions that change nothing end at once
      {"%+0(%)x", "abc", 0},
      {"%+0(%)%/0(%)%*(%)%!2000000000(%)x", "x", 0},
      {"%2000000000T", "", 0},  // beyond the capture limit: no match
      {"%2000000000t", "", 0},
      {"%+0{%}x", "abc", 0},
      {"%*{%}%/{%}%{%}", "", 1},
      {"%z%P%z%p%e%{%e%e%p%P%}", "", 1},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.pattern.substr(0, 40));
    EXPECT_EQ(Search(c.text, c.pattern, "s"), c.expected);
  }
}

// Backtracking that would take longer than anyone waits ends on the step
// budget with no match, and the search says it gave up; searches whose work
// grows with the text still find what they look for, or surely find nothing.
TEST(RegexRobustnessTest, ExplosiveBacktrackingEndsOnTheStepBudget) {
  std::string lazyRuns;
  for (int i = 0; i < 10; ++i) lazyRuns += "%+j";
  const std::string as(60, 'a');
  struct BudgetCase {
    std::string text;
    std::string pattern;
    int expected;
    bool gaveUp;
  };
  const BudgetCase cases[] = {
      {as, lazyRuns + "x", 0, false},  // failed runs are remembered: a sure "no match"
      {as + "x", lazyRuns + "x", 1, false},
      // A back-reference makes each try depend on the captures, so nothing is
      // remembered and the splits of the text are tried one by one.
      {as, lazyRuns + "%0vx", 0, true},
  };
  for (const BudgetCase& c : cases) {
    SCOPED_TRACE(c.pattern);
    bool gaveUp = !c.gaveUp;
    EXPECT_EQ(Search(c.text, c.pattern, "s", nullptr, &gaveUp), c.expected);
    EXPECT_EQ(gaveUp, c.gaveUp);
  }

  // Found by fuzzing: nested lazy runs over a 27-byte text.
  const std::string pattern = "%{%+j%+j%%%+{%+%}d%{\x82\xff\xce%0\xd4";
  const std::string text =
      "\x83\\Ab\xca\x93\xda\x82\xff\xce\xd4"
      "34{+j%+j%%%+{%g";
  EXPECT_EQ(Search(text, pattern, "g"), 0);

  const std::string longText = std::string(2'000'000, 'a') + "x";
  CArrayAuto<CStrRegexMatchStruct> hits;
  CStr subject(longText.c_str());
  ASSERT_EQ(subject.Regex("x", "g", nullptr, nullptr, nullptr, 0, &hits, nullptr), 1);
  EXPECT_EQ(hits[0].offset, 2'000'000);
}

// Runs that fail the same way from many start positions: the work must not
// grow with the square of the text, or the step budget would end the search
// before it reaches the match.
TEST(RegexRobustnessTest, RunsRetriedFromEveryPositionFindTheMatch) {
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += std::string(200, 'a') + "\n";
  const std::string oneLine(100'000, 'a');
  std::string pairs;
  for (int i = 0; i < 30'000; ++i) pairs += "ab";
  struct RunCase {
    const char* pattern;
    std::string text;
    int offset;
  };
  const RunCase cases[] = {
      {"%+Cz", lines + "az", 200 * 201},  // the shortest run on one line, then z
      {"%*Cz", lines + "az", 200 * 201},
      {"%+2Cz", lines + "aaz", 200 * 201},
      {"%{%+Cz%}", lines + "az", 200 * 201},
      {"%*(ab%)c", pairs + "dabc", 60'001},
      {"%+a%*d%+Cx", oneLine + "1\na1-x", 100'002},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.pattern);
    CArrayAuto<CStrRegexMatchStruct> hits;
    CStr subject(c.text.c_str());
    EXPECT_EQ(subject.Regex(c.pattern, "", nullptr, nullptr, nullptr, 0, &hits, nullptr), 1);
    if (hits.Count() == 1) {
      EXPECT_EQ(hits[0].offset, c.offset);
    }
  }
}

int MatchTwoBytesIfSecondMember(const char* position, const CStrRegexStruct& node,
                                CStrArray& captures, const CArrayAuto<CStrRegexStruct>& members,
                                uint32_t place) {
  if (place != 1 || members.Count() != 3 || node.letter != 'U') return -1;
  captures.Add(position);
  return 2;
}

int MatchWholeRest(const char* position, const CStrRegexStruct&, const CArrayAuto<CStrRegexStruct>&,
                   uint32_t) {
  return static_cast<int>(std::char_traits<char>::length(position)) + 1;  // past the end
}

TEST(RegexRobustnessTest, RegisteredMatchersAreCalledByIndex) {
  ClearRegexMatchers();
  EXPECT_EQ(RegisterRegexCaptureMatcher(MatchTwoBytesIfSecondMember), 0u);
  EXPECT_EQ(RegisterRegexPlainMatcher(MatchWholeRest), 0u);
  CStrArray captures;
  EXPECT_EQ(Search("abcd", "a%Ud", "s", &captures), 1);
  ASSERT_EQ(captures.Count(), 1u);
  EXPECT_STREQ(captures[0].Buffer(), "bcd");
  EXPECT_EQ(Search("abcd", "a%1Ud", "s"), 0);  // no entry 1
  EXPECT_EQ(Search("abcd", "%u", "s"), 0);     // a width beyond the text is refused
  ClearRegexMatchers();
  EXPECT_EQ(Search("abcd", "a%Ud", "s"), 0);
}

TEST(RegexRobustnessTest, ANodeOfUnknownKindIsAProgrammingError) {
  CStrRegexStruct root;
  CompileRegex("a", root);
  root.children.Add().kind = 7;
  CStr subject("ab");
  EXPECT_THROW(RegexSearch(subject, root, "", nullptr, nullptr, nullptr, 0, nullptr, nullptr), int);
}

// Deterministic pseudo-random choices (xorshift).
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed | 1) {}
  uint32_t Next(uint32_t bound) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ % bound;
  }
  std::string Pick(const char* const* pieces, uint32_t count, uint32_t maxPieces) {
    std::string text;
    const uint32_t n = Next(maxPieces + 1);
    for (uint32_t i = 0; i < n; ++i) {
      if (Next(16) == 0) {
        text += static_cast<char>(1 + Next(255));  // any byte but NUL
      } else {
        text += pieces[Next(count)];
      }
    }
    return text;
  }

 private:
  uint32_t state_;
};

const char* const kPatternPieces[] = {"%",        "%",
                                      "%",        "%",
                                      "%",        "(",
                                      ")",        "{",
                                      "}",        "[",
                                      "]",        "+",
                                      "*",        "!",
                                      "/",        "0",
                                      "1",        "2",
                                      "12",       ".",
                                      ",",        "-",
                                      "z",        "j",
                                      "J",        "?",
                                      "a",        "A",
                                      "l",        "b",
                                      "d",        "D",
                                      "s",        "w",
                                      "W",        "k",
                                      "y",        "c",
                                      "C",        "v",
                                      "V",        "h",
                                      "H",        "t",
                                      "T",        "u",
                                      "U",        "e",
                                      "p",        "P",
                                      "$",        "^",
                                      "g",        "G",
                                      "\n",       "\"",
                                      "x",        "\xe3\x81\x82",
                                      "\x82\xa0", "\x81",
                                      "\x95\x5c"};
const char* const kTextPieces[] = {"a",        "b",    "x",   ".", "\"",           "\n",
                                   " ",        "1",    "%",   "A", "\xe3\x81\x82", "\x82\xa0",
                                   "\x95\x5c", "\x81", "\xff"};
const char* const kTemplatePieces[] = {"%0v", "%1v", "%0V", "%%", "%", "%9", "-", "\xe3\x81\x82"};
const char* const kOptions[] = {"", "s", "g", "i", "sg", "gi", "sgi", "xyz"};

// SNIPORA_REGEX_FUZZ_ROUNDS raises the count for a longer run by hand.
int FuzzRounds() {
  const char* rounds = std::getenv("SNIPORA_REGEX_FUZZ_ROUNDS");
  return rounds != nullptr ? std::atoi(rounds) : 40'000;
}

// Any pattern is valid: random patterns, texts, options and templates never
// crash, and the results keep their promises.
TEST(RegexRobustnessTest, RandomInputKeepsTheResultsConsistent) {
  for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::CodePage932}) {
    EncodingScope scope(encoding);
    Random random(encoding == TextEncoding::Utf8 ? 12345u : 67890u);
    const int rounds = FuzzRounds();
    for (int round = 0; round < rounds; ++round) {
      const std::string pattern = random.Pick(kPatternPieces, std::size(kPatternPieces), 28);
      const std::string text = random.Pick(kTextPieces, std::size(kTextPieces), 24);
      const std::string replacement = random.Pick(kTemplatePieces, std::size(kTemplatePieces), 4);
      const char* options = kOptions[random.Next(std::size(kOptions))];
      const bool rewrite = random.Next(2) == 0;
      const int start = static_cast<int>(random.Next(static_cast<uint32_t>(text.size()) + 3)) - 1;
      SCOPED_TRACE("pattern \"" + pattern + "\" text \"" + text + "\" options " + options);

      CStr subject(text.c_str());
      CStrArray captures;
      CArrayAuto<CStrArray> perMatch;
      CArrayAuto<CStrRegexMatchStruct> hits;
      const int count =
          subject.Regex(pattern.c_str(), options, &captures,
                        rewrite ? replacement.c_str() : nullptr, &perMatch, start, &hits, nullptr);
      const bool global = std::string(options).find('g') != std::string::npos;
      ASSERT_GE(count, 0);
      if (global) {
        ASSERT_EQ(captures.Count(), 0u);
      } else {
        ASSERT_LE(count, 1);
      }
      ASSERT_EQ(hits.Count(), static_cast<uint32_t>(count));
      ASSERT_EQ(perMatch.Count(), static_cast<uint32_t>(count));
      if (!rewrite || count == 0) {
        ASSERT_STREQ(subject.Buffer(), text.c_str());
      }
      const int limit = static_cast<int>(subject.Length());
      int previousEnd = rewrite ? 0 : start;
      for (uint32_t i = 0; i < hits.Count(); ++i) {
        ASSERT_GE(hits[i].offset, previousEnd);
        ASSERT_GE(hits[i].length, 0);
        ASSERT_LE(hits[i].offset + hits[i].length, limit);
        previousEnd = hits[i].offset + hits[i].length;
      }
    }
  }
}

}  // namespace
}  // namespace snipora
