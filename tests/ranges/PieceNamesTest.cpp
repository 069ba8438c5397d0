#include "ranges/piece_names.h"

#include <gtest/gtest.h>

#include "tests/ranges/range_test_support.h"

namespace snipora::ranges {
namespace {

using test::Ranges;

TEST(PieceNames, TemplatesFillFieldsAndMakeSafeUniqueNames) {
  const auto ranges = Ranges({{0, 100, "Intro"},
                              {100, 250, "a/b: c\x01"},
                              {250, 300, "Intro"},
                              {300, 400, ""},
                              {400, 500, "Intro"}});
  const struct {
    const char* nameTemplate;
    std::vector<std::string> names;
  } cases[] = {
      {"{n:02} {label}",
       {"01 Intro.wav", "02 a_b: c_.wav", "03 Intro.wav", "04.wav", "05 Intro.wav"}},
      {"{label}", {"Intro.wav", "a_b: c_.wav", "Intro (2).wav", "04.wav", "Intro (3).wav"}},
      {"{source}-{n}_{start}-{end}.aiff.wav",
       {"song-1_0-100.aiff.wav", "song-2_100-250.aiff.wav", "song-3_250-300.aiff.wav",
        "song-4_300-400.aiff.wav", "song-5_400-500.aiff.wav"}},
      {"{label}.WAV", {"Intro.WAV", "a_b: c_.WAV", "Intro (2).WAV", "04.WAV", "Intro (3).WAV"}},
      {"take.{n:03}",
       {"take.001.wav", "take.002.wav", "take.003.wav", "take.004.wav", "take.005.wav"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckNameTemplate(c.nameTemplate), "") << c.nameTemplate;
    EXPECT_EQ(PieceNames(c.nameTemplate, ranges, "song"), c.names) << c.nameTemplate;
  }
  // Bytes that are not UTF-8 (a legacy file name in {source}) never reach a name.
  EXPECT_EQ(PieceNames("{source} {label}", Ranges({{0, 1, "\x93\xfa"}}), "caf\xE9"),
            std::vector<std::string>{"caf_ __.wav"});
  // A label that would overflow a file name is cut at a character boundary.
  std::string longLabel;
  for (int i = 0; i < 100; ++i) longLabel += "あ";  // 300 bytes
  const auto names = PieceNames("{label}", Ranges({{0, 1, longLabel}, {1, 2, longLabel}}), "s");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_LE(names[1].size(), 255u);
  EXPECT_EQ(names[0].substr(names[0].size() - 7), "あ.wav");
  EXPECT_EQ(names[1], names[0].substr(0, names[0].size() - 4) + " (2).wav");
}

TEST(PieceNames, MalformedTemplatesAreRefused) {
  for (const char* bad : {"", "{n", "{title}", "{n:2}", "{n:00}", "{N}"}) {
    EXPECT_NE(CheckNameTemplate(bad), "") << bad;
  }
}

}  // namespace
}  // namespace snipora::ranges
