#include "export/export_plan.h"

#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

#include "audiofile/sample_loops.h"
#include "tests/export/export_test_support.h"

namespace snipora {
namespace {

using namespace snipora::test;

// A source loop kept in a joined file lies where its range lands there; past
// the 2^32 frames a smpl chunk addresses it is dropped and named, not
// wrapped around to a wrong place.
TEST(PlanLoops, SourceLoopsPast32BitFramesOfAJoinedFileAreDropped) {
  TempDir dir;
  SampleChunk chunk;
  chunk.loops = {{1, 0, 100, 199, 0, 0}};
  const std::string source = dir.File("l.wav");
  WriteFileBytes(source, RiffWave({RiffChunk("fmt ", PcmFormatBody(1, 8000, 8)),
                                   SampleChunkBytes(chunk), RiffChunk("data", {0, 0})}));
  ExportRequest request;
  request.sourcePath = source;
  request.ranges = CutRanges({{0, 300}, {0, 4294967000}, {50, 250}});  // the loop in each
  const ExportPlan plan = PlanOf(request, {dir.File("j.wav")}, true);
  SampleChunk kept = chunk;
  kept.loops.push_back({1, 0, 400, 499, 0, 0});  // the third would end at 2^32 + 154
  ASSERT_EQ(plan.outputs.size(), 1u);
  EXPECT_TRUE(plan.outputs[0].ExtraChunks() == SampleChunkBytes(kept));
  EXPECT_EQ(plan.notes, std::vector<std::string>{
                            "the source's loop 1 (100:200) is not written there: a loop ending at "
                            "frame 4294967450 of its output does not fit the 32-bit frames of a "
                            "smpl chunk"});
}

// What an output keeps of a recorder's chunks, decoded by the test's own reader.
struct Kept {
  std::vector<std::string> info;  // "ID=text"
  uint64_t timeReference = 0;
  std::string ixml;
  std::vector<std::string> markers;  // "id@frame", then the adtl entries
  std::vector<std::string> loops;    // "start-end"

  bool operator==(const Kept&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Kept& kept) {
  out << kept.timeReference << " " << kept.ixml;
  for (const auto* list : {&kept.info, &kept.markers, &kept.loops}) {
    for (const std::string& item : *list) out << " | " << item;
  }
  return out;
}

std::string Text(const Bytes& bytes, size_t from) {
  return std::string(bytes.begin() + from, std::find(bytes.begin() + from, bytes.end(), 0));
}

Kept Decode(const ExportOutput& output) {
  const Bytes wave = RiffWave({output.ExtraChunks()});
  Kept kept;
  for (const auto& [id, body] : ListEntries(ListBody(wave, "INFO"))) {
    kept.info.push_back(id + "=" + Text(body, 0));
  }
  const Bytes bext = ChunkBody(wave, "bext");
  if (!bext.empty()) kept.timeReference = BextTimeReference(bext);
  const Bytes ixml = ChunkBody(wave, "iXML");
  kept.ixml = std::string(ixml.begin(), ixml.end());
  const Bytes cue = ChunkBody(wave, "cue ");
  for (size_t at = 4; at + 24 <= cue.size(); at += 24) {
    kept.markers.push_back(std::to_string(GetU32(cue, at)) + "@" +
                           std::to_string(GetU32(cue, at + 20)));
  }
  for (const auto& [id, body] : ListEntries(ListBody(wave, "adtl"))) {
    const bool region = id == "ltxt";
    kept.markers.push_back(id + " " + std::to_string(GetU32(body, 0)) + " " +
                           (region ? std::to_string(GetU32(body, 4)) + " " : "") +
                           Text(body, region ? 20 : 4));
  }
  if (output.loops) {
    for (const SampleLoop& l : output.loops->loops) {
      kept.loops.push_back(std::to_string(l.start) + "-" + std::to_string(l.end));
    }
  }
  return kept;
}

// INFO with each piece's label and number, bext and iXML advanced to each
// output's first source frame, the markers inside it moved (a region cut at
// its range's end, a marker a joined file holds twice under a second id),
// loops inside it; what lies in no output is named.
TEST(PlanMetadata, OutputsKeepTheRecordersChunksMadeRightForTheirFrames) {
  TempDir dir;
  const uint64_t reference = 5000000000;  // past 2^32: both words of each field move
  std::vector<Bytes> chunks = {RiffChunk("fmt ", PcmFormatBody(1, 8000, 16))};
  for (const Bytes& chunk : RecorderChunks(reference)) chunks.push_back(chunk);
  chunks.push_back(RiffChunk("data", Bytes(4000)));
  const std::string source = dir.File("take.wav");
  WriteFileBytes(source, RiffWave(chunks));
  ExportRequest request;
  request.sourcePath = source;
  request.format = LoadFormat(source);
  request.ranges = {{0, 600, "Intro", std::nullopt}, {450, 1000, "", std::nullopt}};

  const Kept first{{"INAM=Intro", "IART=Crew", "ITRK=1"},
                   reference,
                   IxmlText(reference),
                   {"1@100", "2@500", "labl 1 Clap", "ltxt 2 100 Line"},
                   {"200-299"}};
  const Kept second{{"INAM=Take 7", "IART=Crew", "ITRK=2"},
                    reference + 450,
                    IxmlText(reference + 450),
                    {"2@50", "3@450", "ltxt 2 300 Line"},
                    {}};
  const Kept joined{
      {"INAM=Take 7", "IART=Crew"},
      reference,
      IxmlText(reference),
      {"1@100", "2@500", "5@650", "3@1050", "labl 1 Clap", "ltxt 2 100 Line", "ltxt 5 300 Line"},
      {"200-299"}};
  const std::vector<std::string> notes = {
      "the source's marker 4 (frame 1900) lies in no output and is not written"};

  const ExportPlan split = PlanOf(request, {dir.File("1.wav"), dir.File("2.wav")}, false);
  ASSERT_EQ(split.outputs.size(), 2u);
  EXPECT_EQ(Decode(split.outputs[0]), first);
  EXPECT_EQ(Decode(split.outputs[1]), second);
  EXPECT_EQ(split.notes, notes);
  const ExportPlan whole = PlanOf(request, {dir.File("j.wav")}, true);
  ASSERT_EQ(whole.outputs.size(), 1u);
  EXPECT_EQ(Decode(whole.outputs[0]), joined);
  EXPECT_EQ(whole.notes, notes);

  request.keepMetadata = false;
  for (const ExportOutput& output : PlanOf(request, {dir.File("j.wav")}, true).outputs) {
    EXPECT_TRUE(output.ExtraChunks().empty());
  }
}

}  // namespace
}  // namespace snipora
