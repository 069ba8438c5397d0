#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "foundation/str.h"
#include "tests/foundation/encoding_scope.h"

namespace snipora {
namespace {

using test::EncodingScope;

template <class... Args>
std::string Formatted(const char* format, Args... args) {
  CStr s;
  s.Format(format, args...);
  return s.Buffer();
}

template <class Value>
std::string Printed(const std::string& format, Value value) {
  char buffer[512];
  std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
  return buffer;
}

// Every combination of flags, width, precision and length letter for each
// conversion must print what the C library prints.
const char* const kFlags[] = {"", "-", "+", " ", "#", "0", "-0", "+0", "- ", "#0"};
const char* const kWidths[] = {"", "1", "6", "14"};
const char* const kPrecisions[] = {"", ".", ".0", ".3", ".9"};

template <class Value>
void ExpectLikeSnprintf(const char* letters, const char* lengthLetters,
                        std::initializer_list<Value> values) {
  for (const char* flags : kFlags) {
    for (const char* width : kWidths) {
      for (const char* precision : kPrecisions) {
        for (const char* length = lengthLetters; *length != 0; ++length) {
          for (const char* letter = letters; *letter != 0; ++letter) {
            std::string format = std::string("<%") + flags + width + precision;
            if (*length != '_') format += *length;
            format += std::string(1, *letter) + ">";
            for (Value value : values) {
              ASSERT_EQ(Formatted(format.c_str(), value), Printed(format, value))
                  << "format " << format << " value " << value;
            }
          }
        }
      }
    }
  }
}

TEST(FormatTest, IntegerConversionsMatchTheCLibrary) {
  ExpectLikeSnprintf<int>("diouxX", "_h", {0, 1, -1, 42, 255, 65537, INT_MIN, INT_MAX});
  ExpectLikeSnprintf<long>("diouxX", "l", {0L, -7L, LONG_MIN, LONG_MAX});
}

TEST(FormatTest, CharacterAndPointerConversionsMatchTheCLibrary) {
  ExpectLikeSnprintf<int>("c", "_", {'A', 'z', ' '});
  int target = 0;
  for (const char* format : {"%p", "%20p", "%-20p|"}) {
    EXPECT_EQ(Formatted(format, &target), Printed(format, &target)) << format;
  }
}

TEST(FormatTest, FloatingConversionsMatchTheCLibrary) {
  ExpectLikeSnprintf<double>("eEfgG", "_l",
                             {0.0, -1.5, 3.14159265, 1e10, 1e-5, 123456.789, -0.0, 1e300});
}

TEST(FormatTest, StarTakesWidthAndPrecisionFromArguments) {
  EXPECT_EQ(Formatted("%*d|", 5, 42), "   42|");
  EXPECT_EQ(Formatted("%.*f", 2, 3.14159), "3.14");
  EXPECT_EQ(Formatted("%*.*s|", 6, 2, "abcdef"), "    ab|");
  // A negative argument counts by its absolute value: no left alignment.
  EXPECT_EQ(Formatted("%*d", -4, 7), "   7");
  EXPECT_EQ(Formatted("%.*s", -2, "abcdef"), "ab");
}

TEST(FormatTest, ExportFileNames) {
  EXPECT_EQ(Formatted("%02u.wav", 0u), "00.wav");
  EXPECT_EQ(Formatted("%02u.wav", 7u), "07.wav");
  EXPECT_EQ(Formatted("%02u.wav", 123u), "123.wav");
}

TEST(FormatTest, LongStringsAreNeverCut) {
  const std::string value(10000, 'v');
  EXPECT_EQ(Formatted("%s=%s\n", "Key", value.c_str()), "Key=" + value + "\n");
  // A numeric conversion wider than the 260-byte scratch buffer stays whole.
  EXPECT_EQ(Formatted("%300d", 5), std::string(299, ' ') + "5");
}

struct StringCase {
  const char* name;
  TextEncoding encoding;
  const char* format;
  const char* argument;
  const char* expected;
};

TEST(FormatTest, StringsAreCutWholeCharactersAndPadded) {
  const StringCase cases[] = {
      {"right aligned", TextEncoding::Utf8, "%5s", "ab", "   ab"},
      {"left aligned", TextEncoding::Utf8, "%-5s|", "ab", "ab   |"},
      {"zero padded", TextEncoding::Utf8, "%05s", "ab", "000ab"},
      {"minus beats zero", TextEncoding::Utf8, "%-05s|", "ab", "ab   |"},
      {"sign flags ignored", TextEncoding::Utf8, "%+ #4s", "ab", "  ab"},
      {"narrower than text", TextEncoding::Utf8, "%1s", "abc", "abc"},
      {"precision", TextEncoding::Utf8, "%.3s", "abcdef", "abc"},
      {"precision zero", TextEncoding::Utf8, "%.0s|", "abc", "|"},
      {"cut then padded", TextEncoding::Utf8, "%5.2s", "abc", "   ab"},
      {"null argument", TextEncoding::Utf8, "%s", nullptr, "(null)"},
      {"cp932 fits", TextEncoding::CodePage932, "%.3s", "\x82\xa0xy", "\x82\xa0x"},
      {"cp932 too wide", TextEncoding::CodePage932, "%.1s", "\x82\xa0", ""},
      {"cp932 width counts bytes", TextEncoding::CodePage932, "%4s", "\x82\xa0", "  \x82\xa0"},
      {"utf-8 too wide", TextEncoding::Utf8, "%.2s", "\xE3\x81\x82x", ""},
      {"utf-8 fits", TextEncoding::Utf8, "%.4s", "\xE3\x81\x82xy", "\xE3\x81\x82x"},
      {"utf-8 second char too wide", TextEncoding::Utf8, "%.5s", "x\xE3\x81\x82\xE3\x81\x84",
       "x\xE3\x81\x82"},
  };
  for (const StringCase& c : cases) {
    EncodingScope scope(c.encoding);
    EXPECT_EQ(Formatted(c.format, c.argument), c.expected) << c.name;
  }
}

TEST(FormatTest, PercentAndUnknownConversions) {
  EXPECT_EQ(Formatted("100%%"), "100%");
  EXPECT_EQ(Formatted("end%"), "end");
  EXPECT_EQ(Formatted("end%-5"), "end");
  EXPECT_EQ(Formatted("%5y|"), "y|");
  EXPECT_EQ(Formatted("%5%d"), "%d");  // the abandoned '%' is plain text
  EXPECT_EQ(Formatted("%lld", 3), "ld");
}

TEST(FormatTest, MultiByteTextInTheFormatIsCopiedWhole) {
  EncodingScope scope(TextEncoding::CodePage932);
  EXPECT_EQ(Formatted("\x95\x5c%d\x82\xa0", 9),
            "\x95\x5c"
            "9\x82\xa0");
}

TEST(FormatTest, CountConversionStoresTheLengthSoFar) {
  int count = -1;
  EXPECT_EQ(Formatted("abc%n%d", &count, 12), "abc12");
  EXPECT_EQ(count, 3);
}

TEST(FormatTest, FormattingReplacesTheTextEvenWhenItIsAnArgument) {
  CStr s("old text");
  s.Format("%d", 5);
  EXPECT_STREQ(s.Buffer(), "5");
  s.Assign(std::string(200, 'x').c_str());
  s.Format("[%s]", s.Buffer());
  EXPECT_EQ(std::string(s.Buffer()), "[" + std::string(200, 'x') + "]");
}

}  // namespace
}  // namespace snipora
