#include "export/export_verify.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace snipora {
namespace {

using namespace snipora::test;

// Good outputs match; one changed byte (in a plain frame, a faded frame or a
// kept chunk) or a missing one is found and said.
TEST(VerifyOutput, FindsEveryChangeMadeAfterWriting) {
  TempDir dir;
  std::vector<Bytes> chunks = {RiffChunk("fmt ", PcmFormatBody(2, 8000, 16))};
  for (const Bytes& chunk : RecorderChunks(1234)) chunks.push_back(chunk);
  chunks.push_back(RiffChunk("data", SeededBytes(4000 * 4, 5)));
  const std::string source = dir.File("s.wav");
  WriteFileBytes(source, RiffWave(chunks));
  ExportRequest request;
  request.sourcePath = source;
  request.format = LoadFormat(source);
  request.ranges = CutRanges({{0, 1000}, {1500, 4000}});
  request.edges = {0, 100, 5};  // 800 frames faded at the end, 40 at each seam
  const ExportPlan plan = PlanOf(request, {dir.File("j.wav")}, true);
  RecordingProgress progress;
  ASSERT_EQ(WriteExport(plan, progress), ExportOutcome::Done);
  const ExportOutput& output = plan.outputs[0];
  EXPECT_EQ(VerifyOutput(plan, output), "");

  const Bytes good = ReadFileBytes(output.path);
  const size_t data = good.size() - 3500 * 4;
  const struct {
    const char* name;
    size_t at;  // the byte changed; past the end: the last byte left out
    std::string problem;
  } rows[] = {
      {"a plain frame", data + 2000 * 4 + 1, "its frame 2000 differs from the source"},
      {"a faded frame", data + 3400 * 4, "its frame 3400 differs from the source"},
      {"a frame at the seam", data + 1010 * 4, "its frame 1010 differs from the source"},
      {"a kept chunk", data - 20, "its chunks before the data are not as planned"},
      {"the last byte missing", good.size(), "its size is not what its header states"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes changed = good;
    if (row.at < good.size()) {
      changed[row.at] ^= 0x10;
    } else {
      changed.pop_back();
    }
    WriteFileBytes(output.path, changed);
    EXPECT_EQ(VerifyOutput(plan, output), row.problem);
  }
}

}  // namespace
}  // namespace snipora
