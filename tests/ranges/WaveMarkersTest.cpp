// A WAVE file's own markers, in layouts built chunk by chunk the way other
// programs write them (never with our own writer).
#include "ranges/wave_markers.h"

#include <gtest/gtest.h>

#include "tests/ranges/range_test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora::ranges {
namespace {

using snipora::test::Bytes;
using snipora::test::PutText;
using snipora::test::PutU16;
using snipora::test::PutU32;
using snipora::test::RiffChunk;
using snipora::test::RiffWave;
using test::Piece;
using test::Pieces;

constexpr uint64_t kFrames = 1000;  // mono 16-bit

Bytes CueChunk(const std::vector<std::pair<uint32_t, uint32_t>>& points) {
  Bytes body;
  PutU32(body, static_cast<uint32_t>(points.size()));
  for (const auto& [id, frame] : points) {
    PutU32(body, id);
    PutU32(body, frame);  // position in play order
    PutText(body, "data");
    PutU32(body, 0);      // chunk start
    PutU32(body, 0);      // block start
    PutU32(body, frame);  // sample offset
  }
  return RiffChunk("cue ", body);
}

// A labl or note entry: the cue point's id and zero-terminated text.
Bytes TextEntry(const char* id, uint32_t cueId, const std::string& text) {
  Bytes body;
  PutU32(body, cueId);
  PutText(body, text);
  body.push_back(0);
  return RiffChunk(id, body);
}

Bytes Ltxt(uint32_t cueId, uint32_t length, const std::string& text) {
  Bytes body;
  PutU32(body, cueId);
  PutU32(body, length);
  PutText(body, "rgn ");
  for (int i = 0; i < 4; ++i) PutU16(body, 0);  // country, language, dialect, code page
  PutText(body, text);
  if (!text.empty()) body.push_back(0);
  return RiffChunk("ltxt", body);
}

Bytes Adtl(const std::vector<Bytes>& entries) {
  Bytes body;
  PutText(body, "adtl");
  for (const Bytes& entry : entries) body.insert(body.end(), entry.begin(), entry.end());
  return RiffChunk("LIST", body);
}

Bytes Fmt() {
  return RiffChunk("fmt ", snipora::test::PcmFormatBody(1, 8000, 16));
}

Bytes Data() {
  return RiffChunk("data", Bytes(2 * kFrames, 0));
}

RangeListRead Read(const Bytes& file) {
  MemoryBytes bytes(file.data(), file.size());
  return ReadWaveMarkers(bytes, {8000, kFrames});
}

TEST(WaveMarkers, LayoutsOfOtherWritersGiveTheSameRanges) {
  // Points in any order; a labl names a point, an ltxt with a length makes a
  // region, an ltxt or note text names a point that has no labl.
  const Bytes cue = CueChunk({{1, 100}, {2, 600}, {3, 300}, {4, 800}, {5, 900}});
  const Bytes adtl =
      Adtl({TextEntry("labl", 1, "First"), TextEntry("labl", 2, "Second"), Ltxt(3, 200, ""),
            TextEntry("labl", 3, "Region"), TextEntry("note", 4, "a note"), Ltxt(5, 0, "odd")});
  const std::vector<Piece> expected = {{100, 300, "First"},
                                       {300, 500, "Region"},
                                       {600, 800, "Second"},
                                       {800, 900, "a note"},
                                       {900, 1000, "odd"}};
  const Bytes extra = RiffChunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0,
                                              'a', 'b', 0});  // odd size, padded
  const struct {
    const char* layout;
    Bytes file;
  } layouts[] = {
      {"editor: markers after data", RiffWave({Fmt(), Data(), cue, adtl})},
      {"recorder: markers before data", RiffWave({Fmt(), extra, cue, adtl, Data()})},
      {"split: cue before, labels after", RiffWave({Fmt(), cue, Data(), extra, adtl})},
      {"odd chunk without its pad byte",
       RiffWave({Fmt(), cue, RiffChunk("junk", Bytes(5, 0), false), Data(), adtl})},
      // The bytes after the missing pad ("ue |", the size's low byte) look like an id too.
      {"odd chunk without its pad byte before the cue chunk",
       RiffWave({Fmt(), Data(), RiffChunk("junk", Bytes(3, 0), false), cue, adtl})},
  };
  for (const auto& l : layouts) {
    const RangeListRead read = Read(l.file);
    ASSERT_TRUE(read.ok()) << l.layout << ": " << read.error;
    EXPECT_EQ(Pieces(read.ranges), expected) << l.layout;
  }
  EXPECT_TRUE(Read(RiffWave({Fmt(), Data()})).ranges.empty());
}

// Names written in a legacy code page: read in the encoding named, else with
// the unreadable bytes replaced and a note; never as bytes that are not UTF-8.
TEST(WaveMarkers, NamesThatAreNotUtf8) {
  const Bytes file = RiffWave({Fmt(), Data(), CueChunk({{1, 10}}),
                               Adtl({TextEntry("labl", 1, "\xCF\xF0\xE8\xE2\xE5\xF2")})});
  MemoryBytes bytes(file.data(), file.size());
  const RangeListRead named = ReadWaveMarkers(bytes, {8000, kFrames}, "CP1251");
  EXPECT_EQ(Pieces(named.ranges), (std::vector<Piece>{{10, kFrames, "Привет"}}));
  EXPECT_TRUE(named.notes.empty());
  const RangeListRead unnamed = ReadWaveMarkers(bytes, {8000, kFrames});
  EXPECT_EQ(Pieces(unnamed.ranges),
            (std::vector<Piece>{{10, kFrames, "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"}}));
  ASSERT_EQ(unnamed.notes.size(), 1u);
  EXPECT_NE(unnamed.notes[0].find("marker 1: its name is not UTF-8"), std::string::npos);
  EXPECT_FALSE(ReadWaveMarkers(bytes, {8000, kFrames}, "KLINGON").ok());
}

TEST(WaveMarkers, DamagedOrImpossibleMarkersAreRefused) {
  Bytes shortCue = CueChunk({{1, 10}});
  shortCue[8] = 2;  // two points announced, one there
  const struct {
    Bytes file;
    const char* error;
  } cases[] = {
      {Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not a RIFF WAVE file"},
      {RiffWave({Fmt(), Data(), shortCue}), "the cue chunk at byte 2044 is cut short"},
      {RiffWave({Fmt(), Data(), CueChunk({{7, 1001}})}), "marker 7 lies beyond the data"},
      {RiffWave({Fmt(), Data(), CueChunk({{7, 900}}), Adtl({Ltxt(7, 101, "")})}),
       "marker 7 ends beyond the data"},
      {RiffWave({Fmt(), CueChunk({{1, 0}}), Adtl({RiffChunk("labl", {1, 0})}), Data()}),
       "labl entry cut short"},
  };
  for (const auto& c : cases) {
    const RangeListRead read = Read(c.file);
    EXPECT_NE(read.error.find(c.error), std::string::npos) << read.error;
    EXPECT_TRUE(read.ranges.empty());
  }
  // A chunk that claims more than the file holds ends the walk with what
  // came before it; a cue chunk cut off by the end of the file is damage.
  Bytes cutOff = RiffWave({Fmt(), Data(), CueChunk({{1, 10}, {2, 20}})});
  cutOff.resize(cutOff.size() - 10);
  EXPECT_NE(Read(cutOff).error.find("is cut short"), std::string::npos);
}

}  // namespace
}  // namespace snipora::ranges
