#include "audiofile/sample_loops.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Bytes;

using test::PutU32;
using test::RiffChunk;

// A "smpl" body laid out by hand: the nine fields (manufacturer 0, as most
// writers leave it), then six per loop.
Bytes SmplBody(const std::vector<std::vector<uint32_t>>& loops, uint32_t statedCount) {
  Bytes body;
  for (uint32_t field : {0u, 2u, 22675u, 60u, 0u, 0u, 0u, statedCount, 0u}) PutU32(body, field);
  for (const auto& loop : loops) {
    for (uint32_t field : loop) PutU32(body, field);
  }
  return body;
}

std::string WriteRiff(const test::TempDir& dir, const Bytes& chunks, const char* form = "RIFF") {
  Bytes file(form, form + 4);
  PutU32(file, static_cast<uint32_t>(4 + chunks.size()));
  file.insert(file.end(), {'W', 'A', 'V', 'E'});
  file.insert(file.end(), chunks.begin(), chunks.end());
  const std::string path = dir.File("loops.wav");
  test::WriteFileBytes(path, file);
  return path;
}

const std::vector<std::vector<uint32_t>> kTwoLoops = {{7, 0, 100, 199, 0, 0},
                                                      {8, 1, 300, 399, 0, 3}};

// Behind an odd-sized chunk with or without its pad byte, and before or after
// the data; what is read is laid out again byte for byte.
TEST(SampleLoops, ReadsTheChunkWhereverItIsAndWritesItBackTheSame) {
  const Bytes smpl = RiffChunk("smpl", SmplBody(kTwoLoops, 2));
  const Bytes fmt = RiffChunk("fmt ", Bytes(16, 1));
  const Bytes data = RiffChunk("data", Bytes(40, 0));
  for (bool pad : {true, false}) {
    for (bool afterData : {false, true}) {
      test::TempDir dir;
      Bytes chunks = fmt;
      const Bytes odd = RiffChunk("LIST", Bytes(3, 'x'), pad);
      chunks.insert(chunks.end(), odd.begin(), odd.end());
      chunks.insert(chunks.end(), (afterData ? data : smpl).begin(),
                    (afterData ? data : smpl).end());
      chunks.insert(chunks.end(), (afterData ? smpl : data).begin(),
                    (afterData ? smpl : data).end());
      const auto chunk = ReadSampleChunk(WriteRiff(dir, chunks));
      ASSERT_TRUE(chunk) << pad << afterData;
      EXPECT_EQ(chunk->samplePeriod, 22675u);
      ASSERT_EQ(chunk->loops.size(), 2u);
      EXPECT_EQ(chunk->loops[1].playCount, 3u);
      EXPECT_EQ(SampleChunkBytes(*chunk), smpl);
    }
  }
}

TEST(SampleLoops, DamagedOrMissingChunks) {
  const Bytes fmt = RiffChunk("fmt ", Bytes(16, 1));
  const struct {
    const char* name;
    Bytes chunks;
    const char* form;
    int loops;  // -1: no chunk
  } cases[] = {
      {"no smpl chunk", fmt, "RIFF", -1},
      {"not RIFF", RiffChunk("smpl", SmplBody(kTwoLoops, 2)), "RIFX", -1},
      {"fields cut short", RiffChunk("smpl", Bytes(30, 0)), "RIFF", -1},
      {"count beyond the chunk", RiffChunk("smpl", SmplBody({kTwoLoops[0]}, 3)), "RIFF", 1},
      {"count above the loops", RiffChunk("smpl", SmplBody(kTwoLoops, 1)), "RIFF", 1},
      {"RF64 form", RiffChunk("smpl", SmplBody(kTwoLoops, 2)), "RF64", 2},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    const auto chunk = ReadSampleChunk(WriteRiff(dir, c.chunks, c.form));
    EXPECT_EQ(chunk ? static_cast<int>(chunk->loops.size()) : -1, c.loops) << c.name;
  }
  // A chunk whose stated size runs past the end of the file keeps the loops present.
  test::TempDir dir;
  Bytes cut = RiffChunk("smpl", SmplBody(kTwoLoops, 2));
  cut.resize(cut.size() - 10);
  const auto chunk = ReadSampleChunk(WriteRiff(dir, cut));
  ASSERT_TRUE(chunk);
  EXPECT_EQ(chunk->loops.size(), 1u);
}

TEST(SampleLoops, LoopsInsideARangeAreShiftedAndTheOthersDropped) {
  const std::vector<SampleLoop> loops = {
      {1, 0, 10, 19},  // inside, at the range's start
      {2, 0, 0, 5},    // before
      {3, 0, 25, 29},  // inside, ending on the range's last frame
      {4, 0, 25, 30},  // ending past it
      {5, 0, 15, 14},  // reversed: never kept
  };
  const std::vector<SampleLoop> inside = LoopsInside(loops, 10, 30, 100);
  ASSERT_EQ(inside.size(), 2u);
  EXPECT_EQ(inside[0].cuePointId, 1u);
  EXPECT_EQ(inside[0].start, 100u);
  EXPECT_EQ(inside[0].end, 109u);
  EXPECT_EQ(inside[1].start, 115u);
  EXPECT_EQ(inside[1].end, 119u);
}

TEST(SampleLoops, ForwardLoopStoresTheLastFrameAndMarkersSpanIt) {
  const SampleChunk chunk = ForwardLoopChunk(44100, 10, 20);
  ASSERT_EQ(chunk.loops.size(), 1u);
  EXPECT_EQ(chunk.loops[0].start, 10u);
  EXPECT_EQ(chunk.loops[0].end, 19u);
  EXPECT_EQ(chunk.samplePeriod, 22675u);

  SoundFormatInfo info;
  info.formatBlock.blockAlign = 4;
  info.dataSize = 80;
  EXPECT_EQ(FirstLoopBytes(chunk, info), std::make_pair(uint64_t{40}, uint64_t{80}));
  info.dataSize = 79;
  EXPECT_FALSE(FirstLoopBytes(chunk, info));
  EXPECT_FALSE(FirstLoopBytes(SampleChunk{}, info));
}

}  // namespace
}  // namespace snipora
