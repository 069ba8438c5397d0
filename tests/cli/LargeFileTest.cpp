// snipora-cut on a sparse source past 4 GiB (real samples near its start,
// across the 4 GiB file boundary and at its end): pieces on each side of the
// boundary are byte-exact, and the joined file of all its data (past 4 GiB,
// so RF64) is read by ffprobe and sndfile-info with the right length; ffmpeg's
// own RF64 copy of it (-rf64 auto) opens with the same sizes. This writes
// 4+ GiB twice: one test, labelled "large", kept out of repeated runs.
#include <filesystem>
#include <fstream>
#include <regex>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

constexpr uint32_t kAlign = 4;  // 16-bit stereo
constexpr uint64_t kFourGiB = uint64_t{1} << 32;

CommandResult Cut(const std::string& args) {
  return RunCommand(ShellQuote(CutBinary()) + " " + args);
}

// n bytes of the file at path from offset.
Bytes ReadAt(const std::string& path, uint64_t offset, size_t n) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  Bytes bytes(n);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::string Value(const std::string& text, const std::string& pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "";
}

TEST(LargeFile, CutAndJoinAcross4GiB) {
  const std::string source = "src.wav";
  TempDir dir;
  const uint64_t dataSize = kFourGiB + (64 << 20);
  // The joined file and ffmpeg's copy of it are real bytes, side by side.
  const uint64_t needed = 2 * dataSize + (uint64_t{256} << 20);
  if (fs::space(dir.path()).available < needed) {
    GTEST_SKIP() << "needs " << (needed >> 20) << " MiB free in " << dir.path();
  }
  const Bytes header =
      Rf64Header("RF64", dataSize, kAlign, {RiffChunk("fmt ", PcmFormatBody(2, 48000, 16))});
  // Seeded stretches: the first frames, one across the file's 4 GiB boundary, the last frames.
  const uint64_t acrossData = kFourGiB - header.size() - 2048;
  const std::vector<uint64_t> seeded = {0, acrossData, dataSize - 4096};
  WriteSparseWave(dir.File(source), header, dataSize, seeded);
  const auto remove = [&dir](const std::string& name) { fs::remove_all(dir.File(name)); };

  const CommandResult info = Cut("--info " + ShellQuote(dir.File(source)));
  ASSERT_EQ(info.exitCode, 0) << info.output;
  EXPECT_EQ(Value(info.output, "data_size=(\\d+)"), std::to_string(dataSize));
  EXPECT_EQ(Value(info.output, "frames=(\\d+)"), std::to_string(dataSize / kAlign));

  // One piece per seeded stretch: small files, plain RIFF, byte-exact.
  std::string ranges;
  for (uint64_t at : seeded) {
    ranges += " " + std::to_string(at / kAlign) + ":" + std::to_string(at / kAlign + 1024);
  }
  const CommandResult pieces =
      Cut("-q -o " + ShellQuote(dir.File("pieces")) + " " + ShellQuote(dir.File(source)) + ranges);
  ASSERT_EQ(pieces.exitCode, 0) << pieces.output;
  for (size_t i = 0; i < seeded.size(); ++i) {
    SCOPED_TRACE(i);
    const Bytes piece = ReadFileBytes(dir.File("pieces/0" + std::to_string(i + 1) + ".wav"));
    EXPECT_EQ(std::string(piece.begin(), piece.begin() + 4), "RIFF");
    EXPECT_EQ(ChunkBody(piece, "data"), SeededBytes(4096, static_cast<uint32_t>(seeded[i])));
  }
  remove("pieces");

  // All the data joined after a short piece: past 4 GiB, so RF64.
  const std::string joined = dir.File("joined.wav");
  const CommandResult join =
      Cut("-q -j -o " + ShellQuote(joined) + " " + ShellQuote(dir.File(source)) +
          " 0:10 0:" + std::to_string(dataSize / kAlign));
  ASSERT_EQ(join.exitCode, 0) << join.output;
  remove(source);
  const uint64_t frames = dataSize / kAlign + 10;
  const uint64_t outputHeader = fs::file_size(joined) - frames * kAlign;
  EXPECT_EQ(ReadAt(joined, 0, 4), (Bytes{'R', 'F', '6', '4'}));
  for (uint64_t at : seeded) {
    EXPECT_EQ(ReadAt(joined, outputHeader + 40 + at, 4096),
              SeededBytes(4096, static_cast<uint32_t>(at)))
        << at;
  }
  if (HaveProgram("ffprobe")) {
    const CommandResult probe = RunCommand(
        "ffprobe -v error -show_entries stream=duration_ts -of default=nw=1 " + ShellQuote(joined));
    EXPECT_EQ(Value(probe.output, "duration_ts=(\\d+)"), std::to_string(frames)) << probe.output;
  }
  if (HaveProgram("sndfile-info")) {
    const CommandResult sndfile = RunCommand("sndfile-info " + ShellQuote(joined));
    EXPECT_EQ(Value(sndfile.output, "Frames\\s*:\\s*(\\d+)"), std::to_string(frames))
        << sndfile.output;
  }
  // ffmpeg copies it into its own RF64 (-rf64 auto, past 4 GiB), which opens with the same sizes.
  if (HaveProgram("ffmpeg")) {
    const std::string copy = dir.File("ffmpeg.wav");
    const CommandResult ffmpeg = RunCommand("ffmpeg -v error -y -i " + ShellQuote(joined) +
                                            " -c copy -rf64 auto " + ShellQuote(copy));
    ASSERT_EQ(ffmpeg.exitCode, 0) << ffmpeg.output;
    remove("joined.wav");
    const CommandResult copied = Cut("--info " + ShellQuote(copy));
    EXPECT_EQ(ReadAt(copy, 0, 4), (Bytes{'R', 'F', '6', '4'}));
    EXPECT_EQ(Value(copied.output, "data_size=(\\d+)"), std::to_string(frames * kAlign));
    EXPECT_EQ(Value(copied.output, "frames=(\\d+)"), std::to_string(frames));
  }
  remove("joined.wav");
  remove("ffmpeg.wav");
}

}  // namespace
}  // namespace snipora
