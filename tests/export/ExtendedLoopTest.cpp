#include "export/extended_loop.h"

#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"

namespace snipora {
namespace {

using namespace snipora::test;

// At 1000 Hz a millisecond is a frame. The piece is frames 100-2499 of 3000.
TEST(ExtendedLoop, CopyHoldsThePieceToTheLoopsEndTheRepeatsAndTheFade) {
  struct Row {
    const char* name;
    uint16_t channels, bits;
    uint64_t loopStart, loopEnd;  // inclusive
    uint32_t count, fadeMs;
    std::vector<std::pair<uint32_t, uint32_t>> expected;  // source frames, end exclusive
  };
  const Row rows[] = {
      {"once, no fade: the piece up to the loop's end", 2, 16, 700, 1199, 1, 0, {{100, 1200}}},
      {"three times, fade shorter than the loop",
       2,
       16,
       700,
       1199,
       3,
       300,
       {{100, 1200}, {700, 1200}, {700, 1200}, {700, 1000}}},
      {"a fade longer than the loop goes round it",
       2,
       16,
       700,
       1199,
       2,
       1234,
       {{100, 1200}, {700, 1200}, {700, 1200}, {700, 1200}, {700, 934}}},
      {"24-bit mono, a loop from the piece's first to its last frame",
       1,
       24,
       100,
       2499,
       2,
       50,
       {{100, 2500}, {100, 2500}, {100, 150}}},
      {"8-bit mono of an odd length, then its pad byte",
       1,
       8,
       700,
       1199,
       1,
       1,
       {{100, 1200}, {700, 701}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string source = dir.File("source.wav");
    const Bytes file = WriteSource(source, {row.channels, row.bits, 1000, 3000});
    ExtendedLoopJob job;
    job.sourcePath = source;
    job.format = LoadFormat(source);
    job.piece = {100, 2500};
    job.loopStartFrame = row.loopStart;
    job.loopEndFrame = row.loopEnd;
    job.count = row.count;
    job.fadeMs = row.fadeMs;
    RecordingProgress progress;
    const std::string output = dir.File("extended.wav");
    ASSERT_EQ(WriteExtendedLoop(job, output, progress), ExportOutcome::Done);

    Bytes expected;
    for (const auto& [start, end] : row.expected) {
      const Bytes part = SourceRange(file, job.format, start, end);
      expected.insert(expected.end(), part.begin(), part.end());
    }
    const uint32_t align = job.format.formatBlock.blockAlign;
    ReferenceFade(expected, size_t{row.fadeMs} * align, align, row.channels);
    const Bytes out = ReadFileBytes(output);
    EXPECT_EQ(CheckedData(out, job.format, static_cast<uint32_t>(expected.size())), expected);
    EXPECT_TRUE(ChunkBody(out, "smpl").empty());
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"extended.wav", "source.wav"}));
  }
}

TEST(ExtendedLoop, RefusedOrCancelledLeavesNothing) {
  TempDir dir;
  const std::string source = dir.File("source.wav");
  WriteSource(source, {2, 16, 1000, 3000});
  ExtendedLoopJob base;
  base.sourcePath = source;
  base.format = LoadFormat(source);
  base.piece = {100, 2500};
  base.loopStartFrame = 700;
  base.loopEndFrame = 1199;
  base.count = 400;  // long enough to be cancelled half-way
  struct Row {
    const char* name;
    uint64_t loopStart, loopEnd;
    uint32_t count;
    int cancelAtPump;
    ExportOutcome outcome;
  } rows[] = {
      {"loop starting before the piece", 99, 1199, 2, -1, ExportOutcome::BadRange},
      {"loop's last frame at the piece's end", 700, 2500, 2, -1, ExportOutcome::BadRange},
      {"loop ending before it starts", 700, 699, 2, -1, ExportOutcome::BadRange},
      {"no loop at all", 700, 1199, 0, -1, ExportOutcome::BadRange},
      {"cancelled", 700, 1199, 400, 3, ExportOutcome::Cancelled},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExtendedLoopJob job = base;
    job.loopStartFrame = row.loopStart;
    job.loopEndFrame = row.loopEnd;
    job.count = row.count;
    RecordingProgress progress;
    progress.cancelAtPump = row.cancelAtPump;
    EXPECT_EQ(WriteExtendedLoop(job, dir.File("out.wav"), progress), row.outcome);
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"source.wav"});
  }
  RecordingProgress progress;
  EXPECT_EQ(WriteExtendedLoop(base, source, progress), ExportOutcome::OutputIsSource);
}

}  // namespace
}  // namespace snipora
