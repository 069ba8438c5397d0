#include "export/extended_loop.h"

#include <gtest/gtest.h>

#include "audiofile/flac_file.h"
#include "export/output_progress.h"
#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"
#include "tests/support/flac_files.h"

namespace snipora {
namespace {

using namespace snipora::test;

// One piece, frames 100-2499 of 3000 of a WAVE source (unless `format` is
// given), with a loop of its own (source frames, end exclusive), to be
// written as an extended copy at `path`.
ExportRequest CopyRequest(const std::string& source, ExportRange loop, ExtendedCopies copies,
                          const std::string& path,
                          std::optional<SoundFormatInfo> format = std::nullopt) {
  ExportRequest request;
  request.sourcePath = source;
  request.format = format ? *format : LoadFormat(source);
  request.ranges = {{100, 2500, "", loop}};
  request.paths = {path};
  request.extend = copies;
  return request;
}

// At 1000 Hz a millisecond is a frame.
TEST(ExtendedLoop, CopyHoldsThePieceToTheLoopsEndTheRepeatsAndTheFade) {
  struct Row {
    const char* name;
    uint16_t channels, bits;
    ExportRange loop;
    uint32_t count, fadeMs;
    std::vector<std::pair<uint32_t, uint32_t>> expected;  // source frames, end exclusive
  };
  const Row rows[] = {
      {"once, no fade: the piece up to the loop's end", 2, 16, {700, 1200}, 1, 0, {{100, 1200}}},
      {"three times, fade shorter than the loop",
       2,
       16,
       {700, 1200},
       3,
       300,
       {{100, 1200}, {700, 1200}, {700, 1200}, {700, 1000}}},
      {"a fade longer than the loop goes round it",
       2,
       16,
       {700, 1200},
       2,
       1234,
       {{100, 1200}, {700, 1200}, {700, 1200}, {700, 1200}, {700, 934}}},
      {"24-bit mono, a loop from the piece's first to its last frame",
       1,
       24,
       {100, 2500},
       2,
       50,
       {{100, 2500}, {100, 2500}, {100, 150}}},
      {"8-bit mono of an odd length, then its pad byte",
       1,
       8,
       {700, 1200},
       1,
       1,
       {{100, 1200}, {700, 701}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string source = dir.File("source.wav");
    const Bytes file = WriteSource(source, {row.channels, row.bits, 1000, 3000});
    const std::string output = dir.File("extended.wav");
    ExportPlan plan;
    ASSERT_EQ(PlanExport(CopyRequest(source, row.loop, {row.count, row.fadeMs}, output), plan),
              std::nullopt);
    RecordingProgress progress;
    COutputProgress copies(plan, progress);
    ASSERT_EQ(WriteExport(plan, copies), ExportOutcome::Done);

    Bytes expected;
    for (const auto& [start, end] : row.expected) {
      const Bytes part = SourceRange(file, plan.format, start, end);
      expected.insert(expected.end(), part.begin(), part.end());
    }
    const uint32_t align = plan.format.formatBlock.blockAlign;
    ReferenceFade(expected, size_t{row.fadeMs} * align, align, row.channels);
    const Bytes out = ReadFileBytes(output);
    // No chunk but "fmt " and "data": no smpl, nothing kept from the source.
    EXPECT_EQ(CheckedData(out, plan.format, static_cast<uint32_t>(expected.size())), expected);
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"extended.wav", "source.wav"}));
    // Its progress is one file over all of its bytes.
    EXPECT_EQ(progress.overallRange, 1u);
    EXPECT_EQ(progress.fileRanges, std::vector<uint32_t>{static_cast<uint32_t>(expected.size())});
  }
}

// A FLAC source's copy made as FLAC: decoded by flac, the source's decoded
// frames in the copy's order, the fade at its end.
TEST(ExtendedLoop, CopiesAFlacSourceIntoFlac) {
  TempDir dir;
  const std::string source = dir.File("source.flac");
  std::string why;
  if (!MakeFlac(source, {16, 2, 1000, 3000}, why)) GTEST_SKIP() << why;
  SoundFormatInfo format;
  ASSERT_EQ(ReadFlacFile(source, format), FlacProblem::kNone);
  ExportRequest request =
      CopyRequest(source, {700, 1200}, {2, 300}, dir.File("extended.flac"), format);
  request.outputFormat = OutputFormat::kFlac;
  ExportPlan plan;
  ASSERT_EQ(PlanExport(request, plan), std::nullopt);
  RecordingProgress progress;
  COutputProgress copies(plan, progress);
  ASSERT_EQ(WriteExport(plan, copies), ExportOutcome::Done);

  const Bytes decoded = FlacToolSamples(source);
  constexpr uint32_t kAlign = 4;
  Bytes expected;
  for (const auto& [start, end] : {std::pair{100, 1200}, {700, 1200}, {700, 1000}}) {
    expected.insert(expected.end(), decoded.begin() + start * kAlign,
                    decoded.begin() + end * kAlign);
  }
  ReferenceFade(expected, 300 * kAlign, kAlign, 2);
  EXPECT_EQ(FlacToolSamples(dir.File("extended.flac")), expected);
  // One output, reported complete through the outputs' progress.
  EXPECT_EQ(progress.overallRange, 1u);
  EXPECT_EQ(progress.written, std::vector<size_t>{0});
}

TEST(ExtendedLoop, RefusedOrCancelledLeavesNothing) {
  TempDir dir;
  const std::string source = dir.File("source.wav");
  WriteSource(source, {2, 16, 1000, 3000});
  const std::string output = dir.File("out.wav");
  struct Row {
    const char* name;
    std::optional<ExportRange> loop;
    uint32_t count, fadeMs;
    bool join;
    std::string refusal;
  } rows[] = {
      {"loop starting before the piece", ExportRange{99, 1200}, 2, 0, false,
       "the loop 99:1200 is not inside range 100:2500 (frames)"},
      {"no loop at all", std::nullopt, 2, 0, false,
       "range 100:2500 (frames) holds no loop to play out"},
      {"not played", ExportRange{700, 1200}, 0, 0, false,
       "an extended copy plays its loop at least once"},
      {"a fade going round a short loop too often", ExportRange{700, 701}, 9000, 1001, false,
       "range 100:2500 (frames): an extended copy plays its loop at most 10000 times, the fade's "
       "rounds included"},
      {"joined", ExportRange{700, 1200}, 2, 0, true,
       "an extended copy is made of each piece, not joined"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExportRequest request = CopyRequest(source, {}, {row.count, row.fadeMs}, output);
    request.ranges[0].loop = row.loop;
    request.join = row.join;
    ExportPlan plan;
    EXPECT_EQ(PlanExport(request, plan), row.refusal);
  }
  ExportPlan plan;
  ASSERT_EQ(PlanExport(CopyRequest(source, {700, 1200}, {400, 0}, output), plan), std::nullopt);
  RecordingProgress progress;
  progress.cancelAtPump = 3;  // half-way through 400 rounds
  EXPECT_EQ(WriteExport(plan, progress), ExportOutcome::Cancelled);
  EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"source.wav"});
}

}  // namespace
}  // namespace snipora
