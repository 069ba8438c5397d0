#include "audiofile/wave_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "audiofile/wave_reader.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Bytes;

WaveFormatBlock Stereo16() {
  WaveFormatBlock block{};
  block.formatTag = 1;
  block.channels = 2;
  block.samplesPerSec = 44100;
  block.avgBytesPerSec = 176400;
  block.blockAlign = 4;
  block.bitsPerSample = 16;
  block.extraSize = 2;  // never written: the output's fmt chunk has no extra bytes
  return block;
}

// The 46 bytes WriteWaveHeader must produce, built independently.
Bytes ExpectedHeader(const WaveFormatBlock& block, uint32_t length) {
  Bytes format = test::FmtBody(block.formatTag, block.channels, block.samplesPerSec,
                               block.avgBytesPerSec, block.blockAlign, block.bitsPerSample);
  test::PutU16(format, 0);  // no extra format bytes
  Bytes header;
  test::PutText(header, "RIFF");
  test::PutU32(header, length + 38);
  test::PutText(header, "WAVE");
  const Bytes fmt = test::RiffChunk("fmt ", format);
  header.insert(header.end(), fmt.begin(), fmt.end());
  test::PutText(header, "data");
  test::PutU32(header, length);
  return header;
}

struct PatchCase {
  uint32_t sector;
  uint32_t length;
};

class WavePatchTest : public ::testing::TestWithParam<PatchCase> {};

// Header with placeholder lengths, data in uneven pieces, then the patch:
// only bytes 4-7 and 42-45 change, for files shorter than one sector,
// between one and two sectors, and longer.
TEST_P(WavePatchTest, PatchLeavesEveryOtherByteAsWritten) {
  const PatchCase c = GetParam();
  test::TempDir dir;
  const std::string name = dir.File("joined.wav");
  const Bytes data = test::SeededBytes(c.length, c.length);
  CSectorFile file(4 * c.sector, c.sector);
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  WriteWaveHeader(file, Stereo16(), 0);
  uint32_t written = 0;
  uint32_t piece = 1;
  while (written < c.length) {
    const uint32_t n = std::min(piece, c.length - written);
    ASSERT_EQ(file.Write(data.data() + written, 1, n), n);
    written += n;
    piece = std::min(piece * 3 + 1, 3 * c.sector);  // a write may not exceed capacity - sector
  }
  PatchWaveLengths(file, c.length);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_FALSE(file.HasWriteError());

  Bytes expected = ExpectedHeader(Stereo16(), c.length);
  expected.insert(expected.end(), data.begin(), data.end());
  EXPECT_EQ(test::ReadFileBytes(name), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, WavePatchTest,
                         ::testing::Values(PatchCase{512, 1}, PatchCase{512, 465},
                                           PatchCase{512, 466}, PatchCase{512, 700},
                                           PatchCase{512, 977}, PatchCase{512, 978},
                                           PatchCase{512, 5000}, PatchCase{4096, 1},
                                           PatchCase{4096, 4049}, PatchCase{4096, 4050},
                                           PatchCase{4096, 6000}, PatchCase{4096, 8146},
                                           PatchCase{4096, 20000}));

TEST(WaveWriterTest, OutputIsReadBySoxAndByOurReader) {
  if (!test::HaveProgram("soxi")) GTEST_SKIP() << "soxi not installed";
  test::TempDir dir;
  const std::string name = dir.File("out.wav");
  const uint32_t frames = 44100 / 4;
  const Bytes data = test::SeededBytes(frames * 4, 5);
  const std::string joined = dir.File("joined.wav");
  for (const std::string& path : {name, joined}) {
    // Lengths written up front (split export) or patched afterwards (joined).
    const bool patched = path == joined;
    CSectorFile file(512 * 1024);
    ASSERT_EQ(file.Open(path.c_str(), "wb", 32), 0);
    WriteWaveHeader(file, Stereo16(), patched ? 0 : static_cast<uint32_t>(data.size()));
    ASSERT_EQ(file.Write(data.data(), 1, static_cast<uint32_t>(data.size())), data.size());
    if (patched) PatchWaveLengths(file, static_cast<uint32_t>(data.size()));
    ASSERT_EQ(file.Close(), 0);
    const test::CommandResult soxi = test::RunCommand("soxi -s " + test::ShellQuote(path));
    ASSERT_EQ(soxi.exitCode, 0) << soxi.output;
    EXPECT_EQ(std::stoul(soxi.output), frames) << path;
  }
  EXPECT_EQ(test::ReadFileBytes(name), test::ReadFileBytes(joined));
  const test::CommandResult rate = test::RunCommand("soxi -r " + test::ShellQuote(name));
  EXPECT_EQ(std::stoul(rate.output), 44100u);

  SoundFormatInfo info;
  ASSERT_EQ(ProbeWaveFile(name.c_str(), info), 0);
  EXPECT_EQ(info.dataOffset, 46);
  EXPECT_EQ(info.dataSize, data.size());
  EXPECT_EQ(info.formatBlock.extraSize, 0);
  EXPECT_EQ(info.lengthFrames, frames);
}

}  // namespace
}  // namespace snipora
