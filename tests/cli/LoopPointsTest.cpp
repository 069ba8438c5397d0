#include "cli/loop_points.h"

#include <sstream>

#include <gtest/gtest.h>

#include "audiofile/sample_loops.h"
#include "tests/support/wave_bytes.h"

namespace snipora::cli {
namespace {

using namespace snipora::test;

// A source loop kept in a joined file lies where its range lands there; past
// the 2^32 frames a smpl chunk addresses it is dropped and named, not
// wrapped around to a wrong place.
TEST(LoopPoints, SourceLoopsPast32BitFramesOfAJoinedFileAreDropped) {
  TempDir dir;
  SampleChunk chunk;
  chunk.loops = {{1, 0, 100, 199, 0, 0}};
  const std::string source = dir.File("l.wav");
  WriteFileBytes(source, RiffWave({RiffChunk("fmt ", PcmFormatBody(1, 8000, 8)),
                                   SampleChunkBytes(chunk), RiffChunk("data", {0, 0})}));
  CutOptions o;
  o.join = true;
  ExportJob job;
  job.sourcePath = source;
  job.ranges = {{0, 300}, {0, 4294967000}, {50, 250}};  // the loop in each
  std::ostringstream out, err;
  RunContext context(out, err);
  ASSERT_FALSE(AddLoopChunks(o, job, context));
  SampleChunk kept = chunk;
  kept.loops.push_back({1, 0, 400, 499, 0, 0});  // the third would end at 2^32 + 154
  ASSERT_EQ(job.extraChunks.size(), 1u);
  EXPECT_TRUE(job.extraChunks[0] == SampleChunkBytes(kept));
  EXPECT_EQ(err.str(),
            "snipora-cut: warning: the source's loop 1 (100:200) is not written there: a loop "
            "ending at frame 4294967450 of its output does not fit the 32-bit frames of a smpl "
            "chunk\n");
}

}  // namespace
}  // namespace snipora::cli
