#include "export/export_plan.h"

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

}  // namespace
}  // namespace snipora
