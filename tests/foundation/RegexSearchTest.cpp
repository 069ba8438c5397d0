#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "foundation/regex.h"
#include "tests/foundation/encoding_scope.h"

// The search loop around the matcher: options, replacement templates, hit
// lists, match-capture lists, start offsets and the callback.
namespace snipora {
namespace {

using test::EncodingScope;

struct ReplaceCase {
  const char* pattern;
  const char* options;
  const char* replacement;
  const char* text;
  int count;
  const char* result;
};

void ExpectReplacements(const ReplaceCase* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const ReplaceCase& c = cases[i];
    SCOPED_TRACE(std::string("pattern ") + c.pattern + " on \"" + c.text + "\"");
    CStr subject(c.text);
    EXPECT_EQ(
        subject.Regex(c.pattern, c.options, nullptr, c.replacement, nullptr, 0, nullptr, nullptr),
        c.count);
    EXPECT_STREQ(subject.Buffer(), c.result);
  }
}

const char kStripExtension[] = "%0,1z\"%{%*j%e.%}%+0j%$";
const char kStripQuotes[] = "%0,1z\"%{%*(%!z\"%j%)%}%+0\"%$";

TEST(RegexSearchTest, TheProgramsNamePatterns) {
  const ReplaceCase cases[] = {
      {kStripExtension, "s", "%0v", "song.part.wav", 1, "song.part"},
      {kStripExtension, "s", "%0v", "\"name.wav", 1, "name"},
      {kStripExtension, "s", "%0v", "name", 0, "name"},
      {kStripExtension, "s", "%0v", ".wav", 0, ".wav"},  // the name needs one character
      {kStripExtension, "s", "%0v", "/music/\xe3\x81\x82.wav", 1, "/music/\xe3\x81\x82"},
      {kStripExtension, "s", "%0v", "/a.b/c", 1, "/a"},  // the last '.' of the whole text
      {kStripQuotes, "s", "%0v", "\"name\"", 1, "name"},
      {kStripQuotes, "s", "%0v", "name\"", 1, "name"},
      {kStripQuotes, "s", "%0v", "name", 0, "name"},
      {kStripQuotes, "s", "%0v", "\"na\"me\"", 0, "\"na\"me\""},
      {kStripQuotes, "s", "%0v", "\"\xe3\x81\x82\"", 1, "\xe3\x81\x82"},
  };
  ExpectReplacements(cases, std::size(cases));
}

TEST(RegexSearchTest, NamePatternsUnderCodePage932) {
  EncodingScope scope(TextEncoding::CodePage932);
  // 0x95 0x5C and 0x83 0x5C end in a backslash byte; 0x82 0xA0 is "a".
  const ReplaceCase cases[] = {
      {kStripExtension, "s", "%0v", "\x95\x5c\x83\x5c.wav", 1, "\x95\x5c\x83\x5c"},
      {kStripQuotes, "s", "%0v", "\"\x82\xa0\x95\x5c\"", 1, "\x82\xa0\x95\x5c"},
  };
  ExpectReplacements(cases, std::size(cases));
}

TEST(RegexSearchTest, TemplateSyntax) {
  const ReplaceCase cases[] = {
      {"%{a%}%{b%}", "", "[%1v|%0v|%0V|%1V|%%|%5v|%9V|%3x|%q|%]", "ab", 1, "[b|a|b|a|%|||x|%q|%]"},
      {"%{a%}", "", "<%0v%", "a", 1, "<a%"},  // a '%' at the end is copied
      {"%{a%}", "", "<%12", "a", 1, "<"},     // digits at the end are dropped
      {"%{a%}", "", "%\xe3\x81\x82%1\xe3\x81\x82", "a", 1, "%\xe3\x81\x82\xe3\x81\x82"},
      {"%{a%}", "", "%99999999999999999999v.", "a", 1, "."},  // no such capture
  };
  ExpectReplacements(cases, std::size(cases));
}

TEST(RegexSearchTest, TemplateCharactersFollowTheEncoding) {
  // Under code page 932, 0x81 '%' is one character and is copied whole.
  const char* replacement = "%1\x81%0v";
  {
    EncodingScope scope(TextEncoding::CodePage932);
    CStr subject("a");
    subject.Regex("%{a%}", "", nullptr, replacement, nullptr, 0, nullptr, nullptr);
    EXPECT_STREQ(subject.Buffer(), "\x81%0v");
  }
  CStr subject("a");
  subject.Regex("%{a%}", "", nullptr, replacement, nullptr, 0, nullptr, nullptr);
  EXPECT_STREQ(subject.Buffer(),
               "\x81"
               "a");
}

TEST(RegexSearchTest, GlobalReplacementAndHits) {
  CStr subject("abcb");
  CArrayAuto<CStrRegexMatchStruct> hits;
  EXPECT_EQ(subject.Regex("b", "g", nullptr, "X", nullptr, 0, &hits, nullptr), 2);
  EXPECT_STREQ(subject.Buffer(), "aXcX");
  ASSERT_EQ(hits.Count(), 2u);
  EXPECT_EQ(hits[0].offset, 1);
  EXPECT_EQ(hits[0].length, 1);
  EXPECT_EQ(hits[1].offset, 3);
  EXPECT_EQ(hits[1].length, 1);

  // With a template the hits locate the replacements in the output.
  CStr longer("abcb");
  EXPECT_EQ(longer.Regex("b", "g", nullptr, "XYZ", nullptr, 0, &hits, nullptr), 2);
  EXPECT_STREQ(longer.Buffer(), "aXYZcXYZ");
  EXPECT_EQ(hits[1].offset, 5);
  EXPECT_EQ(hits[1].length, 3);
}

TEST(RegexSearchTest, EmptyMatchesAdvanceOneCharacter) {
  CStr subject("ab");
  CArrayAuto<CStrRegexMatchStruct> hits;
  EXPECT_EQ(subject.Regex("", "g", nullptr, nullptr, nullptr, 0, &hits, nullptr), 3);
  ASSERT_EQ(hits.Count(), 3u);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(hits[i].offset, static_cast<int>(i));

  CStr marked("a\xe3\x81\x82");
  EXPECT_EQ(marked.Regex("", "g", nullptr, "-", nullptr, 0, &hits, nullptr), 3);
  EXPECT_STREQ(marked.Buffer(), "-a-\xe3\x81\x82-");
}

TEST(RegexSearchTest, AnchoredSearchStopsAtTheFirstMiss) {
  const ReplaceCase cases[] = {
      {"%d", "sg", "X", "12a3", 2, "XXa3"},
      {"%d", "g", "X", "12a3", 3, "XXaX"},
      {"%d", "s", "X", "a1", 0, "a1"},
      {"%d", "", "X", "a12", 1, "aX2"},
      {"x", "g", "Y", "\xe3\x81\x82x", 1, "\xe3\x81\x82Y"},
  };
  ExpectReplacements(cases, std::size(cases));
}

TEST(RegexSearchTest, CapturesPerMatchGoToTheMatchCaptureList) {
  CStr subject("1a22");
  CStrArray captures;
  CArrayAuto<CStrArray> perMatch;
  EXPECT_EQ(subject.Regex("%{%/d%}", "g", &captures, nullptr, &perMatch, 0, nullptr, nullptr), 2);
  EXPECT_EQ(captures.Count(), 0u);  // emptied after every match under 'g'
  ASSERT_EQ(perMatch.Count(), 2u);
  ASSERT_EQ(perMatch[0].Count(), 1u);
  EXPECT_STREQ(perMatch[0][0].Buffer(), "1");
  EXPECT_STREQ(perMatch[1][0].Buffer(), "22");

  // Without 'g' the captures stay, and the capture list starts empty.
  captures.Add("stale");
  EXPECT_EQ(subject.Regex("%{%/d%}", "", &captures, nullptr, &perMatch, 0, nullptr, nullptr), 1);
  ASSERT_EQ(captures.Count(), 1u);
  EXPECT_STREQ(captures[0].Buffer(), "1");
  EXPECT_EQ(perMatch.Count(), 3u);  // appended to, never emptied
}

TEST(RegexSearchTest, StartOffset) {
  CStr subject("abcabc");
  CArrayAuto<CStrRegexMatchStruct> hits;
  EXPECT_EQ(subject.Regex("%^a", "", nullptr, nullptr, nullptr, 3, &hits, nullptr), 1);
  EXPECT_EQ(hits[0].offset, 3);
  EXPECT_EQ(subject.Regex("a", "g", nullptr, nullptr, nullptr, 1, &hits, nullptr), 1);
  EXPECT_EQ(subject.Regex("", "", nullptr, nullptr, nullptr, 6, &hits, nullptr), 1);
  // Refused offsets search nothing and change nothing.
  EXPECT_EQ(subject.Regex("", "", nullptr, "X", nullptr, 7, &hits, nullptr), 0);
  EXPECT_EQ(subject.Regex("", "", nullptr, "X", nullptr, -1, &hits, nullptr), 0);
  EXPECT_STREQ(subject.Buffer(), "abcabc");
  // The text before the start offset is kept when rewriting.
  EXPECT_EQ(subject.Regex("a", "g", nullptr, "X", nullptr, 1, &hits, nullptr), 1);
  EXPECT_STREQ(subject.Buffer(), "abcXbc");
  EXPECT_EQ(hits[0].offset, 3);
}

// The callback sees each match and may take it over.
struct CallbackLog {
  std::vector<std::string> seen;
  int result = -2;
};
CallbackLog* g_log = nullptr;

int RecordingCallback(const char* match, int offset, int width, const char* replacement,
                      CStr& output, CStrArray& captures) {
  g_log->seen.push_back(std::string(match, static_cast<size_t>(width)) + "@" +
                        std::to_string(offset) + " " + (replacement ? replacement : "-") + " " +
                        std::to_string(captures.Count()));
  if (g_log->result >= -1) output.Append("<cb>");
  return g_log->result;
}

TEST(RegexSearchTest, CallbackDecidesWidthAndOutput) {
  struct CallbackCase {
    int result;
    int count;
    const char* output;
    int firstHitLength;
  };
  const CallbackCase cases[] = {
      {-2, 2, "X.X", 1},            // below -1: the template is expanded as usual
      {1, 2, "<cb>b.<cb>b", 1},     // the callback writes, the width becomes 1
      {0, 2, "<cb>ab.<cb>ab", 0},   // width 0 steps on by one character
      {-1, 0, "<cb>ab.<cb>ab", 0},  // no match anywhere; what the callback wrote stays
      {99, 1, "<cb>", 5},           // a width past the end is cut to the text
  };
  for (const CallbackCase& c : cases) {
    SCOPED_TRACE(c.result);
    CallbackLog log;
    log.result = c.result;
    g_log = &log;
    CStr subject("ab.ab");
    CArrayAuto<CStrRegexMatchStruct> hits;
    EXPECT_EQ(subject.Regex("%{a%}b", "g", nullptr, "X", nullptr, 0, &hits, RecordingCallback),
              c.count);
    EXPECT_STREQ(subject.Buffer(), c.output);
    if (c.count > 0) {
      EXPECT_EQ(hits[0].length, c.firstHitLength);
    }
    ASSERT_FALSE(log.seen.empty());
    EXPECT_EQ(log.seen[0], "ab@0 X 1");
  }
  g_log = nullptr;
}

}  // namespace
}  // namespace snipora
