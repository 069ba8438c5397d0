#include "foundation/regex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <regex>
#include <string>

#include "tests/foundation/encoding_scope.h"

// What patterns match: one row per behaviour of the language, run through
// CStr::Regex without a template.
namespace snipora {
namespace {

using test::EncodingScope;

std::string Join(const CStrArray& captures) {
  std::string joined;
  for (uint32_t i = 0; i < captures.Count(); ++i) {
    if (i > 0) joined += '|';
    joined += captures[i].Buffer();
  }
  return joined;
}

struct MatchCase {
  const char* pattern;
  const char* options;
  const char* text;
  int count;             // the result of Regex
  int offset;            // of the first hit (when count > 0)
  int width;             // of the first hit
  const char* captures;  // joined by '|'
};

void ExpectMatches(const MatchCase* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const MatchCase& c = cases[i];
    SCOPED_TRACE(std::string("pattern ") + c.pattern + " on \"" + c.text + "\" with \"" +
                 c.options + "\"");
    CStr subject(c.text);
    CStrArray captures;
    CArrayAuto<CStrRegexMatchStruct> hits;
    const int count =
        subject.Regex(c.pattern, c.options, &captures, nullptr, nullptr, 0, &hits, nullptr);
    EXPECT_EQ(count, c.count);
    EXPECT_STREQ(subject.Buffer(), c.text);  // no template: the text stays
    ASSERT_EQ(hits.Count(), static_cast<uint32_t>(count));
    if (count > 0) {
      EXPECT_EQ(hits[0].offset, c.offset);
      EXPECT_EQ(hits[0].length, c.width);
    }
    EXPECT_EQ(Join(captures), c.captures);
  }
}

TEST(RegexTest, TheProgramsSettingsPatterns) {
  const char* section = "%/0w[%{%+j%e]%}";
  const char* key = "%/0w%{%+j%e=%}%{%+0j%P\n%}";
  const MatchCase cases[] = {
      {section, "s", "  [Main]", 1, 0, 8, "Main"},
      {section, "s", "\t[Volume Setting] x", 1, 0, 17, "Volume Setting"},
      {section, "s", "x[Main]", 0, 0, 0, ""},
      {section, "s", "[Main", 0, 0, 0, ""},
      {section, "s", "[]]", 1, 0, 3, "]"},  // the run needs one character
      {key, "s", "Key=Value", 1, 0, 9, "Key|Value"},
      {key, "s", "A=B=C", 1, 0, 5, "A|B=C"},
      {key, "s", "Key=", 1, 0, 4, "Key|"},
      {key, "s", "=x", 0, 0, 0, ""},
      {key, "s", "  Gain=12\nnext", 1, 0, 9, "Gain|12"},  // the line feed is not consumed
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, CapturesAreNumberedAsGroupsFinish) {
  const MatchCase cases[] = {
      {"%{a%{b%}%}", "", "ab", 1, 0, 2, "b|ab"},
      {"%{%{a%}%{b%}%}%{c%}", "", "abc", 1, 0, 3, "a|b|ab|c"},
      {"%{a%eb%}", "", "ab", 1, 0, 2, "a"},
      {"%{ab%pc%}", "", "abc", 1, 0, 2, "ab"},
      {"%{a%pb%ec%}", "", "abc", 1, 0, 1, "ab"},  // e decides the capture, p the width
      {"%{%+j%e.%}", "", "ab.c", 1, 0, 3, "ab"},  // e inside the lazy run's look-ahead
      {"%{%+0j%P\n%}", "", "ab\ncd", 1, 0, 2, "ab"},
      {"%{%+0j%P\n%}", "", "ab", 1, 0, 2, "ab"},
      // A failed alternative takes its captures with it.
      {"%[%(%{a%}b%)%{a%}%]", "", "ac", 1, 0, 1, "a"},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, SequencesNeverRevisitAnEarlierMember) {
  const MatchCase cases[] = {
      {"%*jx", "", "abx", 1, 0, 3, ""},
      {"%(%*j%)x", "", "abx", 0, 0, 0, ""},  // the group's run is final
      {"%(%+j%)x", "", "abx", 1, 1, 2, ""},
      {"%+1,3d%e.", "s", "1234.", 0, 0, 0, ""},
      {"%+1,3d%e.", "", "1234.", 1, 1, 4, ""},
      {"%{%+d%e5%}", "s", "12355", 1, 0, 4, "123"},
      {"%{%*d%e5%}", "s", "12355", 1, 0, 5, "1235"},
      {"%{%+d%}5", "s", "12355", 0, 0, 0, ""},  // a lazy run ending its group takes one
      {"%{%*d%}5", "s", "12355", 0, 0, 0, ""},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, RepetitionPrefixes) {
  const MatchCase cases[] = {
      // No prefix: exactly count, or count to max taking what it can.
      {"%3d", "s", "12345", 1, 0, 3, ""},
      {"%3d", "s", "12a", 0, 0, 0, ""},
      {"%3,5d", "s", "1234567", 1, 0, 5, ""},
      {"%3,5d", "s", "1234a", 1, 0, 4, ""},
      {"%0,1z\"a", "s", "\"a", 1, 0, 2, ""},
      {"%0,1z\"a", "s", "a", 1, 0, 1, ""},
      {"%3za", "s", "aaaa", 1, 0, 3, ""},
      // '/': count or more, as many as possible, nothing given back.
      {"%/d", "s", "123a", 1, 0, 3, ""},
      {"%/0d", "s", "a", 1, 0, 0, ""},
      {"%/2d", "s", "1a", 0, 0, 0, ""},
      {"%/d3", "s", "123", 0, 0, 0, ""},
      {"%/2,3d", "s", "12345", 1, 0, 3, ""},  // with a max it is the plain form
      // '!': succeeds without consuming when the item cannot be matched.
      {"%!da", "s", "a", 1, 0, 1, ""},
      {"%!d", "s", "1", 0, 0, 0, ""},
      {"%!2d", "s", "1a", 1, 0, 0, ""},
      {"%!2d", "s", "12", 0, 0, 0, ""},
      {"%!0d", "s", "a", 0, 0, 0, ""},
      {"%!z\"%j", "s", "x", 1, 0, 1, ""},
      {"%!z\"%j", "s", "\"", 0, 0, 0, ""},
      // '+': lazy; '*': greedy; both bounded by count and max.
      {"%+2d", "s", "12345", 1, 0, 2, ""},
      {"%+0,2d3", "s", "1113", 0, 0, 0, ""},
      {"%+0,2d3", "s", "113", 1, 0, 3, ""},
      {"%*2,3d", "s", "12345", 1, 0, 3, ""},
      {"%*3d", "s", "12", 0, 0, 0, ""},
      {"%*0,2d3", "s", "1233", 1, 0, 3, ""},
      {"%*0,2d3", "s", "1113", 0, 0, 0, ""},
      {"%*0d", "s", "", 1, 0, 0, ""},
      // Backtracking restores the captures of the shorter run.
      {"%*{%d%}2", "s", "122", 1, 0, 3, "1|2"},
      {"%+{%d%}3", "s", "123", 1, 0, 3, "1|2"},
      {"%*(%{%d%}%d%)x", "s", "1234x", 1, 0, 5, "1|3"},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, AlternationsAndRanges) {
  const MatchCase cases[] = {
      {"%[ab%%%(cd%)%]", "s", "cd", 1, 0, 2, ""},
      {"%[ab%%%(cd%)%]", "s", "%", 1, 0, 1, ""},
      {"%[ab%%%(cd%)%]", "s", "c", 0, 0, 0, ""},
      {"%/[ab%]", "s", "abbac", 1, 0, 4, ""},
      {"%[%*a%]", "s", "aaaB", 1, 0, 3, ""},
      {"a%[%pb%]", "s", "ab", 1, 0, 2, ""},  // p alternatives are skipped
      {"a%[x%P%]", "s", "a", 1, 0, 1, ""},   // P succeeds at the end only
      {"a%[x%P%]", "", "ab", 0, 0, 0, ""},
      {"%-az", "s", "m", 1, 0, 1, ""},
      {"%-az", "s", "M", 0, 0, 0, ""},
      {"%+0-az%$", "s", "abc", 1, 0, 3, ""},
      {"%/-09", "s", "123x", 1, 0, 3, ""},
      {"%-\x01\xff", "s", "a", 0, 0, 0, ""},     // 1 above -1 as signed bytes: empty
      {"%-\x80\x7f", "s", "\xe3", 1, 0, 1, ""},  // every byte, one at a time
      {"%0,1-az%$", "s", "", 1, 0, 0, ""},       // never at the end of the text
      {"%-az", "s", "", 0, 0, 0, ""},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, PositionsAndMarkers) {
  const MatchCase cases[] = {
      {"%^a", "g", "aaa", 1, 0, 1, ""},
      {"%ga", "g", "ab\nac", 2, 0, 1, ""},
      {"a%G", "", "ba\nca", 1, 1, 1, ""},
      {"a%$", "", "aba", 1, 2, 1, ""},
      {"%$", "", "ab", 1, 2, 0, ""},
      {"ab%pc", "", "xabc", 1, 1, 2, ""},
      {"ab%pc", "", "xabd", 0, 0, 0, ""},
      {"%!$", "s", "", 1, 0, 0, ""},  // markers and anchors take no prefix or numbers
      {"%*3^x", "s", "x", 1, 0, 1, ""},
      {"a%Pb", "s", "a", 1, 0, 1, ""},  // the sequence ends at the end of the text
      {"a%Pb", "s", "ab", 1, 0, 1, ""},
      {"a%Pb", "s", "ac", 0, 0, 0, ""},
      {"%z%px", "s", "x", 1, 0, 0, ""},  // p as an operand marks nothing
      {"%z%Px", "s", "x", 1, 0, 0, ""},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, CaptureCommands) {
  const MatchCase cases[] = {
      {"%{ab%}%0v", "s", "abab", 1, 0, 4, "ab"},
      {"%{ab%}%0v", "s", "abAB", 0, 0, 0, ""},
      {"%{ab%}%0v", "si", "abAB", 1, 0, 4, "ab"},
      {"%{a%}%0.3v", "s", "aaaa", 1, 0, 4, "a"},
      {"%{a%}%{b%}%0V", "s", "abb", 1, 0, 3, "a|b"},
      {"%{a%}%{b%}%1V", "s", "aba", 1, 0, 3, "a|b"},
      {"x%5vy", "s", "xy", 1, 0, 2, ""},  // a missing capture matches empty
      {"%{a%}%{b%}%0h", "s", "ab", 1, 0, 2, "b"},
      {"%{a%}%{b%}%5h", "s", "ab", 1, 0, 2, "a|b"},
      {"%{a%}%{b%}%H", "s", "ab", 1, 0, 2, "a"},
      {"%{a%}%{b%}%3t", "s", "ab", 1, 0, 2, "a|b||b"},
      {"%{a%}%{b%}%t", "s", "ab", 1, 0, 2, "b|b"},
      {"%T%{a%}%2T", "s", "a", 1, 0, 1, "|a||"},
      {"%u", "s", "a", 0, 0, 0, ""},  // nothing registered
      {"%3U", "s", "a", 0, 0, 0, ""},
  };
  ExpectMatches(cases, std::size(cases));
}

TEST(RegexTest, CaseFoldingAppliesToLiteralsOnly) {
  const MatchCase cases[] = {
      {"abc", "i", "xABC", 1, 1, 3, ""},
      {"ABC", "i", "abc", 1, 0, 3, ""},
      {"abc", "", "ABC", 0, 0, 0, ""},
      {"%a", "i", "A", 0, 0, 0, ""},
      {"%-az", "i", "A", 0, 0, 0, ""},
      {"\xc3\xa9", "i", "\xc3\x89", 0, 0, 0, ""},  // multi-byte characters compare exactly
  };
  ExpectMatches(cases, std::size(cases));
}

// Each class against every ASCII byte, with the C library's <cctype> as the
// oracle.
TEST(RegexTest, CharacterClassesAgreeWithCtype) {
  struct ClassCase {
    char letter;
    bool (*accepts)(int c);
  };
  const ClassCase classes[] = {
      {'?', [](int) { return true; }},
      {'j', [](int) { return true; }},
      {'J', [](int) { return false; }},
      {'a', [](int c) { return islower(c) != 0; }},
      {'A', [](int c) { return isupper(c) != 0; }},
      {'l', [](int c) { return isalpha(c) != 0; }},
      {'b', [](int c) { return !isalpha(c); }},
      {'L', [](int c) { return isalnum(c) != 0; }},
      {'B', [](int c) { return !isalnum(c); }},
      {'d', [](int c) { return isdigit(c) != 0; }},
      {'D', [](int c) { return !isdigit(c); }},
      {'s', [](int c) { return isalnum(c) || c == '_'; }},
      {'S', [](int c) { return !(isalnum(c) || c == '_'); }},
      {'n', [](int c) { return isxdigit(c) != 0; }},
      {'N', [](int c) { return !isxdigit(c); }},
      {'x', [](int c) { return isdigit(c) || (c >= 'a' && c <= 'f'); }},
      {'X', [](int c) { return isdigit(c) || (c >= 'A' && c <= 'F'); }},
      {'w', [](int c) { return isblank(c) != 0; }},
      {'i', [](int c) { return !isblank(c); }},
      {'W', [](int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }},
      {'I', [](int c) { return !(c == ' ' || c == '\t' || c == '\n' || c == '\r'); }},
      {'k', [](int c) { return isgraph(c) != 0; }},
      {'K', [](int c) { return isgraph(c) != 0; }},
      {'y', [](int c) { return ispunct(c) != 0; }},
      {'Y', [](int c) { return !ispunct(c); }},
      {'c', [](int c) { return iscntrl(c) != 0; }},
      {'C', [](int c) { return c != '\n'; }},
  };
  for (const ClassCase& cls : classes) {
    const char pattern[] = {'%', cls.letter, 0};
    for (int c = 1; c < 128; ++c) {
      const char text[] = {static_cast<char>(c), 0};
      CStr subject(text);
      EXPECT_EQ(subject.Regex(pattern, "s", nullptr, nullptr, nullptr, 0, nullptr, nullptr),
                cls.accepts(c) ? 1 : 0)
          << "class " << cls.letter << " on byte " << c;
    }
    CStr empty;
    EXPECT_EQ(empty.Regex(pattern, "s", nullptr, nullptr, nullptr, 0, nullptr, nullptr), 0)
        << "class " << cls.letter << " at the end of the text";
  }
}

// Classes that accept multi-byte characters take them whole, in either
// encoding; the single-byte classes refuse them.
TEST(RegexTest, MultiByteCharactersAreOneUnit) {
  struct EncodingCase {
    TextEncoding encoding;
    const char* character;  // "あ"
  };
  const EncodingCase encodings[] = {{TextEncoding::Utf8, "\xe3\x81\x82"},
                                    {TextEncoding::CodePage932, "\x82\xa0"}};
  for (const EncodingCase& e : encodings) {
    EncodingScope scope(e.encoding);
    const int width = static_cast<int>(std::char_traits<char>::length(e.character));
    for (const char letter : std::string("jJbBDSNiIKYC")) {
      const char pattern[] = {'%', letter, 0};
      CStr subject(e.character);
      CArrayAuto<CStrRegexMatchStruct> hits;
      ASSERT_EQ(subject.Regex(pattern, "s", nullptr, nullptr, nullptr, 0, &hits, nullptr), 1)
          << letter;
      EXPECT_EQ(hits[0].length, width) << letter;
    }
    for (const char letter : std::string("?aAlLdsnxXwWkyc")) {
      const char pattern[] = {'%', letter, 0};
      CStr subject(e.character);
      EXPECT_EQ(subject.Regex(pattern, "s", nullptr, nullptr, nullptr, 0, nullptr, nullptr), 0)
          << letter;
    }
  }
}

TEST(RegexTest, ADoubleByteCharacterIsNeverSplitByTheSearch) {
  EncodingScope scope(TextEncoding::CodePage932);
  // 0x95 0x5C is one character whose second byte is a backslash.
  const MatchCase cases[] = {
      {"\\", "g", "\x95\x5c", 0, 0, 0, ""},
      {"\\", "g", "\x95\x5c\\", 1, 2, 1, ""},
      {"%j%j", "s",
       "\x95\x5c"
       "a",
       1, 0, 3, ""},
      {"%[\x82\xa0"
       "b%]",
       "s", "\x82\xa0", 1, 0, 2, ""},  // one alternative of two bytes
      {"%[\x82\xa0"
       "b%]",
       "s", "\xa0", 0, 0, 0, ""},
  };
  ExpectMatches(cases, std::size(cases));
}

// A sequence of single characters and classes with lazy and greedy
// repetitions backtracks like an ECMAScript regular expression: random
// sequences of that kind must find the same first match as std::regex.
TEST(RegexTest, LazyAndGreedySequencesAgreeWithStdRegex) {
  struct Item {
    const char* pattern;
    const char* regex;
  };
  const Item items[] = {{"a", "a"},      {"b", "b"},    {"%d", "[0-9]"},
                        {"%a", "[a-z]"}, {"%j", "[^]"}, {".", "\\."}};
  struct Repeat {
    const char* prefix;
    const char* regex;
  };
  const Repeat repeats[] = {
      {"", ""},           {"%*", "+"},         {"%*0", "*"},    {"%+", "+?"},   {"%+0", "*?"},
      {"%*0,2", "{0,2}"}, {"%+1,3", "{1,3}?"}, {"%*2", "{2,}"}, {"%+0,1", "??"}};
  const char alphabet[] = "ab01.";
  uint32_t state = 2024;
  const auto next = [&state](uint32_t bound) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % bound;
  };
  for (int round = 0; round < 2'000; ++round) {
    std::string pattern;
    std::string regex;
    const uint32_t length = 1 + next(5);
    for (uint32_t i = 0; i < length; ++i) {
      const Item& item = items[next(std::size(items))];
      const Repeat& repeat = repeats[next(std::size(repeats))];
      // A plain item is one character; a repeated one goes through %z.
      if (repeat.prefix[0] == 0) {
        pattern += item.pattern;
      } else {
        pattern += std::string(repeat.prefix) +
                   (item.pattern[0] == '%' ? item.pattern + 1 : std::string("z") + item.pattern);
      }
      regex += std::string("(?:") + item.regex + ")" + repeat.regex;
    }
    if (next(4) == 0) {
      pattern += "%$";
      regex += "$";
    }
    std::string text;
    for (uint32_t i = next(12); i > 0; --i) text += alphabet[next(5)];
    SCOPED_TRACE("pattern " + pattern + " regex " + regex + " text " + text);

    std::smatch expected;
    const bool found = std::regex_search(text, expected, std::regex(regex));
    CStr subject(text.c_str());
    CArrayAuto<CStrRegexMatchStruct> hits;
    ASSERT_EQ(subject.Regex(pattern.c_str(), "", nullptr, nullptr, nullptr, 0, &hits, nullptr),
              found ? 1 : 0);
    if (found) {
      EXPECT_EQ(hits[0].offset, expected.position(0));
      EXPECT_EQ(hits[0].length, expected.length(0));
    }
  }
}

}  // namespace
}  // namespace snipora
