// The text formats of range lists: round trips, real-world layouts, and
// refusals with the line at fault.
#include <gtest/gtest.h>

#include "ranges/audacity_labels.h"
#include "ranges/cue_sheet.h"
#include "ranges/list_encoding.h"
#include "ranges/range_formats.h"
#include "tests/ranges/range_test_support.h"

namespace snipora::ranges {
namespace {

using test::Piece;
using test::Pieces;
using test::Ranges;

TEST(RangeListFormats, WhatIsWrittenReadsBackAsTheSameRanges) {
  // Any ranges (overlapping, out of order, awkward labels): CSV and labels exactly.
  const std::vector<Piece> any = {{1, 2, "a, \"quoted\" label"},
                                  {999999, 1000000, " blanks around "},
                                  {0, 999999, ""},
                                  {12345, 67891, "日本語\ttab"}};
  for (const uint32_t rate : {8000u, 44100u, 96000u, 1234567u}) {
    for (const RangeFormat format : {RangeFormat::Csv, RangeFormat::AudacityLabels}) {
      const SourceShape shape{rate, 1000000};
      const RangeListText text = WriteRangeList(format, Ranges(any), shape, "s.wav");
      const RangeListRead back = ReadRangeList(format, text.text, shape);
      ASSERT_TRUE(back.ok()) << back.error << "\n" << text.text;
      EXPECT_EQ(Pieces(back.ranges), any) << rate << "\n" << text.text;
      EXPECT_TRUE(text.notes.empty());
    }
  }
  // A CUE sheet holds contiguous ranges on 1/75 s to the end of the data.
  for (const uint32_t rate : {44100u, 48000u}) {
    const uint64_t cd = rate / 75;
    const std::vector<Piece> album = {
        {0, 100 * cd, "One"}, {100 * cd, 7501 * cd, "Two \"2\""}, {7501 * cd, 9000 * cd, ""}};
    const SourceShape shape{rate, 9000 * cd};
    const RangeListText sheet =
        WriteRangeList(RangeFormat::CueSheet, Ranges(album), shape, "a.wav");
    EXPECT_TRUE(sheet.notes.empty()) << sheet.notes.front();
    const RangeListRead back = ReadRangeList(RangeFormat::CueSheet, sheet.text, shape);
    ASSERT_TRUE(back.ok()) << back.error << "\n" << sheet.text;
    EXPECT_EQ(Pieces(back.ranges), album) << sheet.text;
  }
}

TEST(RangeListFormats, CueWritingSaysWhichBoundsMove) {
  const SourceShape shape{44100, 441000};
  // 5.5 s lies half-way between two CD frames and rounds up to 00:05:38.
  const RangeListText sheet =
      WriteCueSheet(Ranges({{0, 100000, "gap after"}, {242550, 441000, "x"}}), shape, "s.wav");
  EXPECT_NE(sheet.text.find("    INDEX 01 00:05:38\n"), std::string::npos) << sheet.text;
  EXPECT_EQ(sheet.notes, (std::vector<std::string>{
                             "range 1: end 100000 cannot be written; the sheet ends it at the "
                             "next track, frame 242844",
                             "range 2: start 242550 is written as 00:05:38 (frame 242844)"}));
  EXPECT_NE(WriteCueSheet(Ranges({{500, 600, ""}, {400, 700, ""}}), shape, "s.wav").error, "");
  EXPECT_NE(WriteCueSheet(std::vector<LabeledRange>(100, {0, 1, "", 0}), shape, "s.wav").error, "");
}

// Labels as Audacity exports them from a project with region and point
// labels (and a spectral line under a region).
TEST(RangeListFormats, AudacityProjectLabelsGiveThePiecesOfItsExportByLabels) {
  const std::string text =
      "2.000000\t2.000000\tIntro\n"
      "15.250000\t15.250000\tVerse 1\n"
      "30.500000\t42.750000\tGuitar solo\n"
      "\\\t100.000000\t2000.000000\n"
      "42.750000\t42.750000\tChorus\n"
      "70.000000\t70.000000\tOutro\n"
      "80.000000\t80.000000\tEnd\n";
  const RangeListRead read = ReadAudacityLabels(text, {44100, 80 * 44100});
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(Pieces(read.ranges), (std::vector<Piece>{{88200, 672525, "Intro"},
                                                     {672525, 1345050, "Verse 1"},
                                                     {1345050, 1885275, "Guitar solo"},
                                                     {1885275, 3087000, "Chorus"},
                                                     {3087000, 3528000, "Outro"}}));
  EXPECT_EQ(read.ranges[3].line, 5);
  EXPECT_EQ(read.notes, std::vector<std::string>{
                            "line 7: a point label at the end of the data starts no piece"});
}

TEST(RangeListFormats, LabelSecondsRoundToTheNearestFrameExactly) {
  const struct {
    const char* text;
    uint32_t rate;
    uint64_t start, end;  // end 0: refused
  } cases[] = {
      {"3.0000113378\t3.000034\tx", 44100, 132300, 132301},  // .49999 and .4994 go down
      {"0.0000625\t1\tx", 8000, 1, 8000},                    // half a frame goes up
      {"0.0000624\t1\tx", 8000, 0, 8000},
      // (2^32 + 1)(2^32 - 1) = 2^64 - 1: the largest frame there is.
      {"0\t4294967297\tx", 0xFFFFFFFFu, 0, UINT64_MAX},
      {"0\t4294967297.5\tx", 0xFFFFFFFFu, 0, 0},
      {"0\t9999999999\tx", 0xFFFFFFFFu, 0, 0},
      {"0\t9999999999.5\tx", 44100, 0, 440999999977950ull},
  };
  for (const auto& c : cases) {
    const RangeListRead read = ReadAudacityLabels(c.text, {c.rate, UINT64_MAX});
    if (c.end == 0) {
      EXPECT_FALSE(read.ok()) << c.text;
      continue;
    }
    ASSERT_TRUE(read.ok()) << c.text << ": " << read.error;
    EXPECT_EQ(Pieces(read.ranges), (std::vector<Piece>{{c.start, c.end, "x"}})) << c.text;
  }
}

// Lines Audacity itself imports: the decimal comma of German-locale exports,
// a line with only a start (a point label), and regions shorter than a frame.
TEST(RangeListFormats, AudacityLabelsAreReadAsAudacityReadsThem) {
  const struct {
    std::string text;
    uint64_t frames;
    std::vector<Piece> pieces;
  } cases[] = {
      {"43352,824046\t43525,837661\tmusic\n", 1u << 31, {{1911859540, 1919489441, "music"}}},
      {"1.5\tIntro\n3,25\t3,25\tVerse\n",
       441000,
       {{66150, 143325, "Intro"}, {143325, 441000, "Verse"}}},
      {"1.5\n", 441000, {{66150, 441000, ""}}},
      {"2.0\t2.000015\ttiny\n", 441000, {{88200, 88201, "tiny"}}},  // 0.66 frames: a region
  };
  for (const auto& c : cases) {
    const RangeListRead read = ReadAudacityLabels(c.text, {44100, c.frames});
    ASSERT_TRUE(read.ok()) << c.text << ": " << read.error;
    EXPECT_EQ(Pieces(read.ranges), c.pieces) << c.text;
  }
}

// The common shape of a ripped album's sheet: REM lines, PERFORMER, album and
// track TITLEs, FLAGS and ISRC, INDEX 00 pregaps, CRLF line ends.
TEST(RangeListFormats, AnAlbumCueSheetGivesOnePiecePerTrack) {
  std::string sheet =
      "REM GENRE Rock\r\nREM DATE 1998\r\nREM DISCID 9B0A7A0C\r\n"
      "REM COMMENT \"ExactAudioCopy v1.0b3\"\r\nPERFORMER \"The Band\"\r\n"
      "TITLE \"The Album\"\r\nFILE \"The Band - The Album.wav\" WAVE\r\n";
  std::vector<Piece> expected;
  constexpr uint64_t kCd = 588;  // sample frames in 1/75 s at 44100 Hz
  for (int t = 1; t <= 12; ++t) {
    const std::string n = (t < 10 ? "0" : "") + std::to_string(t);
    const int seconds = (t - 1) * 185;  // 3:05 a track, plus t CD frames
    auto time = [](int s, int f) {
      char text[48];
      std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 60, s % 60, f);
      return std::string(text);
    };
    sheet += "  TRACK " + n + " AUDIO\r\n    TITLE \"Song " + n + ", part \"" + n + "\"\"\r\n" +
             "    PERFORMER \"The Band\"\r\n" + (t == 3 ? "    FLAGS DCP\r\n" : "") +
             (t == 5 ? "    ISRC USRC17607839\r\n" : "") +
             (t > 1 ? "    INDEX 00 " + time(seconds - 2, t) + "\r\n" : "") + "    INDEX 01 " +
             time(seconds, t) + "\r\n";
    const uint64_t start = seconds * 44100ull + t * kCd;
    if (t > 1) std::get<1>(expected.back()) = start;
    expected.emplace_back(start, 0, "Song " + n + ", part \"" + n + "\"");
  }
  std::get<1>(expected.back()) = 40 * 60 * 44100;
  const RangeListRead read = ReadCueSheet(sheet, {44100, 40 * 60 * 44100});
  ASSERT_TRUE(read.ok()) << read.errorLine << read.error;
  EXPECT_EQ(Pieces(read.ranges), expected);
  EXPECT_EQ(read.notes, std::vector<std::string>{});
}

// Lines a sheet should not have but that leave every bound clear: taken, in
// the order of the lines, with a note that names each.
TEST(RangeListFormats, CueSheetOdditiesAreTakenWithANote) {
  const std::string sheet =
      "FILE \"a.wav\" WAVE\n"
      "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 03 AUDIO\nINDX 01 00:01:00\nINDEX 01 00:02:00\n"
      "TRACK 02 AUDIO\nINDEX 01 00:03:00\n"
      "TRACK 02 AUDIO\nTITLE \"again\"\nINDEX 01 00:04:00\n";
  const RangeListRead read = ReadCueSheet(sheet, {75, 400});
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(
      Pieces(read.ranges),
      (std::vector<Piece>{{0, 150, ""}, {150, 225, ""}, {225, 300, ""}, {300, 400, "again"}}));
  EXPECT_EQ(read.notes,
            (std::vector<std::string>{"line 5: unknown command INDX ignored",
                                      "line 7: track 02 comes after track 03",
                                      "line 9: track 02 repeats an earlier track's number"}));
}

TEST(RangeListFormats, MalformedListsAreRefusedWithTheLine) {
  const SourceShape shape{44100, 441000};  // 10 s
  const struct {
    RangeFormat format;
    std::string text;
    int line;
    const char* error;
  } cases[] = {
      {RangeFormat::AudacityLabels, "1\t2\ta\n\t2\tb\n", 2, "not start<TAB>end<TAB>label"},
      {RangeFormat::AudacityLabels, "1\t2\ta\n2.0\t2.00001\ttiny\n", 2, "rounds to none"},
      {RangeFormat::AudacityLabels, "1\t2\ta\nx\t2\tb\n", 2, "not start<TAB>end<TAB>label"},
      {RangeFormat::AudacityLabels, "-1\t2\tb\n", 1, "not start<TAB>end<TAB>label"},
      {RangeFormat::AudacityLabels, "\n\n3\t2\tb\n", 3, "the end lies before the start"},
      {RangeFormat::AudacityLabels, "1\t10.5\tb\n", 1, "beyond the data (441000 frames)"},
      {RangeFormat::AudacityLabels, "11\t11\tpoint\n", 1, "beyond the data"},
      {RangeFormat::AudacityLabels, std::string("1\t2\ta\nPK\x03\x04\0\0", 12), 2, "not a text"},
      {RangeFormat::Csv, "start,end,label\n0,10,a\n5,6,b,c\n", 3, "not start,end,label"},
      {RangeFormat::Csv, "0,10\n10\n", 2, "not start,end,label"},
      {RangeFormat::Csv, "1O0,2000,x\n3000,4000,y\n", 1, "not start,end,label"},  // not a header
      {RangeFormat::Csv, "0,10\n1.5,3\n", 2, "not start,end,label"},
      {RangeFormat::Csv, "0,10\n20,10,x\n", 2, "the end lies before the start"},
      {RangeFormat::Csv, "0,441001,x\n", 1, "beyond the data"},
      {RangeFormat::Csv, "0,1,\"open\n2,3,x\n", 1, "quoted field"},
      {RangeFormat::Csv, "0,1,\"a\"b\n", 1, "quoted field"},
      {RangeFormat::CueSheet, "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n", 3,
       "not INDEX nn mm:ss:ff"},
      {RangeFormat::CueSheet, "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", 2, "not INDEX"},
      {RangeFormat::CueSheet, "TRACK 1\n", 1, "not TRACK nn AUDIO"},
      {RangeFormat::CueSheet, "TRACK 01 MODE1/2352\n", 1, "not AUDIO"},
      {RangeFormat::CueSheet, "INDEX 01 00:00:00\n", 1, "INDEX before the first TRACK"},
      {RangeFormat::CueSheet, "FILE a.wav WAVE\nFILE b.wav WAVE\n", 2, "a second FILE"},
      {RangeFormat::CueSheet,
       "TRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n", 1,
       "track 01 has no INDEX 01"},
      {RangeFormat::CueSheet,
       "TRACK 01 AUDIO\nINDEX 01 00:02:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n", 4,
       "does not start after"},
      {RangeFormat::CueSheet, "TRACK 01 AUDIO\nINDEX 01 00:10:00\n", 2, "starts beyond the data"},
      {RangeFormat::CueSheet, "REM only\n", 0, "no TRACK"},
      {RangeFormat::CueSheet, "\x89PNG\r\n\x1A\n", 2, "not a text"},
  };
  for (const auto& c : cases) {
    const RangeListRead read = ReadRangeList(c.format, c.text, shape);
    EXPECT_EQ(read.errorLine, c.line) << c.text;
    EXPECT_NE(read.error.find(c.error), std::string::npos) << c.text << "\n" << read.error;
    EXPECT_TRUE(read.ranges.empty()) << c.text;
  }
}

// Sheets in the code pages Windows rippers write: read when their encoding is
// named, refused with the line of the first byte that is not UTF-8 when not;
// every label that comes out is UTF-8.
TEST(RangeListFormats, ListsInLegacyEncodingsAreDecodedOrRefusedWithTheLine) {
  const SourceShape shape{44100, 441000};
  const std::string cyrillic =
      "TRACK 01 AUDIO\r\nTITLE \"\xCF\xF0\xE8\xE2\xE5\xF2\"\r\n"
      "INDEX 01 00:00:00\r\n";
  const std::string japanese =
      "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"\x93\xfa\x96\x7b\"\n"
      "INDEX 01 00:00:00\n";
  const struct {
    std::string text;
    std::string encoding;
    std::string label;  // empty: refused
    int line;
    const char* error;
  } cases[] = {
      {cyrillic, "CP1251", "Привет", 0, ""},
      {japanese, "SHIFT_JIS", "日本", 0, ""},
      {japanese, "cp932", "日本", 0, ""},
      {"\xEF\xBB\xBFTRACK 01 AUDIO\nTITLE \"日本\"\nINDEX 01 00:00:00\n", "CP1251", "日本", 0, ""},
      {cyrillic, "", "", 2, "not UTF-8 (byte 0xCF); name its encoding with --list-encoding"},
      {japanese, "", "", 3, "not UTF-8 (byte 0x93)"},
      {japanese, "KLINGON", "", 0, "KLINGON is not an encoding this system knows"},
      {"TRACK 01 AUDIO\nTITLE \"\x81\"\n", "CP1252", "", 2, "not CP1252 (byte 0x81)"},
      {"\xEF\xBB\xBFTRACK 01 AUDIO\nTITLE \"\xE9\"\n", "CP1252", "", 2, "UTF-8 mark"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " as " + c.encoding);
    const RangeListRead read = ReadRangeList(RangeFormat::CueSheet, c.text, shape, c.encoding);
    if (c.label.empty()) {
      EXPECT_EQ(read.errorLine, c.line);
      EXPECT_NE(read.error.find(c.error), std::string::npos) << read.error;
      continue;
    }
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(Pieces(read.ranges), (std::vector<Piece>{{0, 441000, c.label}}));
  }
  // What a text may be in, with the likeliest first.
  EXPECT_TRUE(NeedsEncoding(japanese));
  EXPECT_FALSE(NeedsEncoding("TITLE \"日本\"\n"));
  EXPECT_FALSE(NeedsEncoding("\x89PNG\r\n\x1A\n"));
  EXPECT_EQ(LegacyEncodingsOf(japanese)[0], "CP932");
  EXPECT_EQ(LegacyEncodingsOf(cyrillic), (std::vector<std::string>{"CP1251", "CP1252"}));
  EXPECT_EQ(LegacyEncodingsOf("TITLE \"Caf\xE9 \xE0 la gare\"\n"),
            (std::vector<std::string>{"CP1252", "CP1251"}));
  // Names that are not UTF-8 (a source file's, say) never reach a written list.
  const RangeListText sheet =
      WriteRangeList(RangeFormat::CueSheet, test::Ranges({{0, 10, "x\xE9"}}), shape, "caf\xE9.wav");
  EXPECT_EQ(sheet.text.substr(0, 22), "FILE \"caf\uFFFD.wav\" WAVE");
  EXPECT_NE(sheet.text.find("TITLE \"x\uFFFD\""), std::string::npos) << sheet.text;
}

TEST(RangeListFormats, CsvHeaderQuotingAndBlanks) {
  const SourceShape shape{8000, 100};
  const struct {
    std::string text;
    std::vector<Piece> pieces;
  } cases[] = {
      {"0,10,a\n", {{0, 10, "a"}}},
      {"\xEF\xBB\xBF"
       "Start;End,x,y\r\n 1 , 2 ,  b c  \r\n3,4\r\n",
       {{1, 2, "b c"}, {3, 4, ""}}},
      {"s,e,l\n5,6,\"line one\nline two\"\n7,8, \"x,\"\"y\"\"\" \n",
       {{5, 6, "line one\nline two"}, {7, 8, "x,\"y\""}}},
  };
  for (const auto& c : cases) {
    const RangeListRead read = ReadRangeList(RangeFormat::Csv, c.text, shape);
    ASSERT_TRUE(read.ok()) << c.text << ": " << read.error;
    EXPECT_EQ(Pieces(read.ranges), c.pieces) << c.text;
  }
  EXPECT_EQ(RangeFormatOfPath("/a/b.CUE"), RangeFormat::CueSheet);
  EXPECT_EQ(RangeFormatOfPath("/a.csv/b"), std::nullopt);
}

}  // namespace
}  // namespace snipora::ranges
