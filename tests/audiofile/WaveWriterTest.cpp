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

SoundFormatInfo Stereo16() {
  SoundFormatInfo info;
  WaveFormatBlock& block = info.formatBlock;
  block.formatTag = 1;
  block.channels = 2;
  block.samplesPerSec = 44100;
  block.avgBytesPerSec = 176400;
  block.blockAlign = 4;
  block.bitsPerSample = 16;
  block.extraSize = 2;  // never written: the output's fmt chunk has no extra bytes
  info.formatChunkSize = 20;
  return info;
}

// The 46 bytes (plus extra chunks) WriteWaveHeader must produce, built independently.
Bytes ExpectedHeader(const WaveFormatBlock& block, uint32_t length, const Bytes& extra = {}) {
  Bytes format = test::FmtBody(block.formatTag, block.channels, block.samplesPerSec,
                               block.avgBytesPerSec, block.blockAlign, block.bitsPerSample);
  test::PutU16(format, 0);  // no extra format bytes
  Bytes header;
  test::PutText(header, "RIFF");
  test::PutU32(header, length + length % 2 + 38 + static_cast<uint32_t>(extra.size()));
  test::PutText(header, "WAVE");
  const Bytes fmt = test::RiffChunk("fmt ", format);
  header.insert(header.end(), fmt.begin(), fmt.end());
  header.insert(header.end(), extra.begin(), extra.end());
  test::PutText(header, "data");
  test::PutU32(header, length);
  return header;
}

struct PatchCase {
  uint32_t sector;
  uint32_t length;
  uint32_t extraChunkBytes = 0;  // opaque bytes between "fmt " and "data"
};

class WavePatchTest : public ::testing::TestWithParam<PatchCase> {};

// Header with placeholder lengths, data in uneven pieces, the pad byte of an
// odd length, then the patch: only the RIFF size and the data length change
// (the RIFF size counts the pad byte), for files shorter than one
// sector, between one and two sectors, and longer, with and without extra
// chunks (one that pushes the data length field into the next sector).
TEST_P(WavePatchTest, PatchLeavesEveryOtherByteAsWritten) {
  const PatchCase c = GetParam();
  test::TempDir dir;
  const std::string name = dir.File("joined.wav");
  const Bytes data = test::SeededBytes(c.length, c.length);
  CSectorFile file(4 * c.sector, c.sector);
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  const Bytes extra = test::SeededBytes(c.extraChunkBytes, 7);
  WriteWaveHeader(file, Stereo16(), 0, extra);
  uint32_t written = 0;
  uint32_t piece = 1;
  while (written < c.length) {
    const uint32_t n = std::min(piece, c.length - written);
    ASSERT_EQ(file.Write(data.data() + written, 1, n), n);
    written += n;
    piece = std::min(piece * 3 + 1, 3 * c.sector);  // a write may not exceed capacity - sector
  }
  WriteDataPad(file, c.length);
  PatchWaveLengths(file, Stereo16(), c.length, c.extraChunkBytes);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_FALSE(file.HasWriteError());

  Bytes expected = ExpectedHeader(Stereo16().formatBlock, c.length, extra);
  expected.insert(expected.end(), data.begin(), data.end());
  if (c.length % 2) expected.push_back(0);  // the pad byte
  EXPECT_EQ(test::ReadFileBytes(name), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, WavePatchTest,
    ::testing::Values(PatchCase{512, 1}, PatchCase{512, 465}, PatchCase{512, 466},
                      PatchCase{512, 700}, PatchCase{512, 977}, PatchCase{512, 978},
                      PatchCase{512, 5000}, PatchCase{4096, 1}, PatchCase{4096, 4049},
                      PatchCase{4096, 4050}, PatchCase{4096, 6000}, PatchCase{4096, 8146},
                      PatchCase{4096, 20000}, PatchCase{512, 300, 60}, PatchCase{512, 5000, 60},
                      PatchCase{512, 5000, 500}, PatchCase{4096, 9000, 4100}));

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
    if (patched) PatchWaveLengths(file, Stereo16(), static_cast<uint32_t>(data.size()));
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

// RF64 (as written for outputs of 4 GiB or more): "RF64", a "ds64" chunk with
// the sizes, 0xFFFFFFFF in the 32-bit fields; written up front or patched, for
// a tag-1 and a float source; sox, ffprobe and our reader agree on the length.
TEST(WaveWriterTest, Rf64HeaderStatesItsSizesInDs64) {
  test::TempDir dir;
  SoundFormatInfo floatInfo = Stereo16();
  floatInfo.formatBlock = {3, 2, 44100, 352800, 8, 32, 0, {}};
  floatInfo.formatChunkSize = 18;
  for (const SoundFormatInfo& info : {Stereo16(), floatInfo}) {
    const uint32_t align = info.formatBlock.blockAlign;
    const Bytes data = test::SeededBytes(1001 * align, align);
    Bytes files[2];
    for (bool patched : {false, true}) {
      SCOPED_TRACE(testing::Message() << "align " << align << (patched ? " patched" : ""));
      const std::string path = dir.File(patched ? "p.wav" : "u.wav");
      CSectorFile file(65536);
      ASSERT_EQ(file.Open(path.c_str(), "wb", 32), 0);
      WriteWaveHeader(file, info, patched ? 0 : data.size(), {}, WaveContainer::kRf64);
      ASSERT_EQ(file.Write(data.data(), 1, static_cast<uint32_t>(data.size())), data.size());
      if (patched) PatchWaveLengths(file, info, data.size(), 0, WaveContainer::kRf64);
      ASSERT_EQ(file.Close(), 0);
      EXPECT_TRUE(WaveFileMatchesHeader(path));
      files[patched] = test::ReadFileBytes(path);
      const Bytes& bytes = files[patched];
      const uint32_t headerSize = WaveHeaderSize(info, 0, WaveContainer::kRf64);
      ASSERT_EQ(bytes.size(), headerSize + data.size());
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RF64");
      EXPECT_EQ(test::GetU32(bytes, 4), 0xFFFFFFFFu);
      EXPECT_EQ(test::ChunkBody(bytes, "ds64"),
                test::Ds64ChunkBody(headerSize - 8 + data.size(), data.size(), 1001));
      EXPECT_EQ(test::GetU32(bytes, headerSize - 4), 0xFFFFFFFFu);
      SoundFormatInfo read;
      ASSERT_EQ(ProbeWaveFile(path.c_str(), read), 0);
      EXPECT_EQ(read.dataOffset, static_cast<int32_t>(headerSize));
      EXPECT_EQ(read.dataSize, data.size());
      if (test::HaveProgram("soxi")) {
        const test::CommandResult soxi = test::RunCommand("soxi -s " + test::ShellQuote(path));
        EXPECT_EQ(soxi.output, "1001\n");
      }
    }
    EXPECT_EQ(files[0], files[1]);
  }
}

// RF64 is chosen for a file of 4 GiB or more (header and pad byte included)
// unless the policy says otherwise.
TEST(WaveWriterTest, ContainerFollowsThePolicyAndTheFileSize) {
  // Even; one byte more is odd, and its pad byte makes the file 4 GiB.
  const uint64_t largestRiffData = 0xFFFFFFFFu - WaveHeaderSize(Stereo16()) - 1;
  const struct {
    Rf64Policy policy;
    uint64_t dataLength;
    std::optional<WaveContainer> container;
  } cases[] = {
      {Rf64Policy::kAuto, largestRiffData, WaveContainer::kRiff},
      {Rf64Policy::kAuto, largestRiffData + 1, WaveContainer::kRf64},
      {Rf64Policy::kNever, largestRiffData, WaveContainer::kRiff},
      {Rf64Policy::kNever, largestRiffData + 1, std::nullopt},
      {Rf64Policy::kAlways, 4, WaveContainer::kRf64},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContainerFor(c.policy, Stereo16(), c.dataLength), c.container)
        << static_cast<int>(c.policy) << " " << c.dataLength;
  }
}

// Any other plain source: its own "fmt " chunk byte for byte, a "fact" chunk
// with the frame count, then "data"; written up front or patched afterwards,
// across sector boundaries, and read back by our reader.
TEST(WaveWriterTest, OtherSourcesKeepTheirFormatChunkAndGetAFactChunk) {
  Bytes oddExtra = test::FmtBody(3, 1, 8000, 32000, 4, 32);
  test::PutU16(oddExtra, 1);
  oddExtra.push_back(0x5A);  // 19 bytes: the chunk needs its pad byte
  const Bytes formats[] = {
      test::ExtensibleFmtBody(6, 48000, 24, 20, 0x3F, 1),
      test::ExtensibleFmtBody(2, 44100, 32, 32, 0x3, 3),
      test::FmtBody(3, 2, 44100, 705600, 16, 64),  // 16 bytes, no extra size
      oddExtra,
  };
  for (const Bytes& fmt : formats) {
    test::TempDir dir;
    const std::string source = dir.File("source.wav");
    const Bytes data = test::SeededBytes(96 * 20, static_cast<uint32_t>(fmt.size()));
    test::WriteFileBytes(
        source, test::RiffWave({test::RiffChunk("LIST", Bytes(6, 'x')),
                                test::RiffChunk("fmt ", fmt), test::RiffChunk("data", data)}));
    SoundFormatInfo info;
    ASSERT_EQ(ProbeWaveFile(source.c_str(), info), 0) << fmt.size();
    Bytes fact;
    test::PutU32(fact, static_cast<uint32_t>(data.size() / info.formatBlock.blockAlign));
    const Bytes expected =
        test::RiffWave({test::RiffChunk("fmt ", fmt), test::RiffChunk("fact", fact),
                        test::RiffChunk("data", data)});
    EXPECT_EQ(WaveHeaderSize(info), expected.size() - data.size());
    for (const uint32_t sector : {512u, 4096u}) {
      for (const bool patched : {false, true}) {
        const std::string out = dir.File("out.wav");
        CSectorFile file(16 * sector, sector);
        ASSERT_EQ(file.Open(out.c_str(), "wb", 32), 0);
        const auto length = static_cast<uint32_t>(data.size());
        WriteWaveHeader(file, info, patched ? 0 : length);
        ASSERT_EQ(file.Write(data.data(), 1, length), length);
        if (patched) PatchWaveLengths(file, info, length);
        ASSERT_EQ(file.Close(), 0);
        EXPECT_EQ(test::ReadFileBytes(out), expected) << fmt.size() << " patched " << patched;
      }
    }
  }
}

}  // namespace
}  // namespace snipora
