#include "audiofile/wave_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <random>

#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Bytes;
using test::FmtBody;
using test::PutText;
using test::PutU16;
using test::PutU32;
using test::RiffChunk;
using test::RiffWave;

Bytes Pcm16Stereo() {
  return FmtBody(1, 2, 44100, 176400, 4, 16);
}

struct Parsed {
  int result;
  SoundFormatInfo info;
  int64_t positionAfter;
};

Parsed ParseBytes(const Bytes& bytes) {
  test::TempDir dir;
  const std::string name = dir.File("t.wav");
  test::WriteFileBytes(name, bytes);
  CSectorFile file(20480);
  Parsed parsed{};
  if (file.Open(name.c_str(), "rb", 32) != 0) {
    ADD_FAILURE() << "cannot open";
    return parsed;
  }
  parsed.result = ReadRiffWaveHeader(file, parsed.info);
  parsed.positionAfter = file.Tell();
  return parsed;
}

// One row per hand-made header: what sox never writes.
struct HeaderCase {
  const char* name;
  Bytes file;
  int result;
  int32_t dataOffset;
  uint32_t dataSize;
  uint16_t extraSize;
};

std::vector<HeaderCase> HeaderCases() {
  const Bytes data10(10, 0x55);
  Bytes fmt18Stray = Pcm16Stereo();
  PutU16(fmt18Stray, 7);  // PCM with a stray extra size: forced to 0
  Bytes fmt20 = Pcm16Stereo();
  PutU16(fmt20, 0);
  PutU16(fmt20, 0xBEEF);  // two bytes nobody reads: skipped to the chunk's end
  auto adpcmWithExtra = [](uint16_t extra, size_t present) {
    Bytes b = FmtBody(17, 1, 22050, 11100, 256, 4);
    PutU16(b, extra);
    b.resize(b.size() + present, 0xEE);
    return b;
  };
  Bytes zeroAlign = FmtBody(1, 2, 44100, 176400, 0, 16);
  Bytes zeroRate = FmtBody(1, 2, 44100, 0, 4, 16);
  const Bytes junk3 = {1, 2, 3};
  Bytes truncatedData =
      RiffWave({RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("data", Bytes(100, 1))});
  truncatedData.resize(truncatedData.size() - 40);
  Bytes truncatedFmt = RiffWave({RiffChunk("fmt ", Pcm16Stereo())});
  truncatedFmt.resize(30);
  Bytes notWave = RiffWave({RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("data", data10)});
  std::memcpy(notWave.data() + 8, "AVI ", 4);
  Bytes notRiff = notWave;
  std::memcpy(notRiff.data(), "RIFX", 4);
  Bytes bigList = RiffWave({RiffChunk("LIST", Bytes(30001, 'L')), RiffChunk("fmt ", Pcm16Stereo()),
                            RiffChunk("data", data10)});
  Bytes noPadBeforeFmt = RiffWave({RiffChunk("junk", junk3, false),
                                   RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("data", data10)});

  return {
      {"canonical", RiffWave({RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("data", data10)}), 0, 44,
       10, 0},
      {"fmt 18 with stray extra size",
       RiffWave({RiffChunk("fmt ", fmt18Stray), RiffChunk("data", data10)}), 0, 46, 10, 0},
      {"fmt 20 skipped to its end", RiffWave({RiffChunk("fmt ", fmt20), RiffChunk("data", data10)}),
       0, 48, 10, 0},
      {"extra size 109 accepted (odd chunk, padded)",
       RiffWave({RiffChunk("fmt ", adpcmWithExtra(109, 109)), RiffChunk("data", data10)}), 0,
       12 + 8 + 127 + 1 + 8, 10, 109},
      {"extra size 110 refused",
       RiffWave({RiffChunk("fmt ", adpcmWithExtra(110, 110)), RiffChunk("data", data10)}), 7, 0, 0,
       0},
      {"extra bytes past the fmt chunk",
       RiffWave({RiffChunk("fmt ", adpcmWithExtra(4, 0)), RiffChunk("data", data10)}), 4, 0, 0, 0},
      {"fmt shorter than 16",
       RiffWave({RiffChunk("fmt ", Bytes(14, 1)), RiffChunk("data", data10)}), 4, 0, 0, 0},
      {"zero block alignment", RiffWave({RiffChunk("fmt ", zeroAlign), RiffChunk("data", data10)}),
       4, 0, 0, 0},
      {"zero byte rate", RiffWave({RiffChunk("fmt ", zeroRate), RiffChunk("data", data10)}), 4, 0,
       0, 0},
      {"odd chunk with pad byte",
       RiffWave(
           {RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("junk", junk3), RiffChunk("data", data10)}),
       0, 56, 10, 0},
      {"odd chunk without pad byte",
       RiffWave({RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("junk", junk3, false),
                 RiffChunk("data", data10)}),
       0, 55, 10, 0},
      {"odd chunk without pad before fmt", noPadBeforeFmt, 0, 55, 10, 0},
      {"chunk larger than the probe's ring before fmt", bigList, 0, 12 + 8 + 30002 + 24 + 8, 10, 0},
      {"data size cut to the file", truncatedData, 0, 44, 60, 0},
      {"ends before data", RiffWave({RiffChunk("fmt ", Pcm16Stereo())}), 4, 0, 0, 0},
      {"ends inside a chunk before data",
       RiffWave({RiffChunk("fmt ", Pcm16Stereo()), Bytes{'L', 'I', 'S', 'T', 0xFF, 0, 0, 0, 1}}), 4,
       0, 0, 0},
      {"ends inside fmt", truncatedFmt, 4, 0, 0, 0},
      {"not WAVE", notWave, 2, 0, 0, 0},
      {"not RIFF", notRiff, 2, 0, 0, 0},
      {"zero length", Bytes{}, 2, 0, 0, 0},
      {"RIFF only", Bytes{'R', 'I', 'F', 'F'}, 2, 0, 0, 0},
  };
}

TEST(WaveReaderTest, HandMadeHeaders) {
  for (const HeaderCase& c : HeaderCases()) {
    SCOPED_TRACE(c.name);
    const Parsed parsed = ParseBytes(c.file);
    ASSERT_EQ(parsed.result, c.result);
    if (c.result != 0) continue;
    EXPECT_EQ(parsed.info.dataOffset, c.dataOffset);
    EXPECT_EQ(parsed.info.dataSize, c.dataSize);
    EXPECT_EQ(parsed.info.formatBlock.extraSize, c.extraSize);
    EXPECT_EQ(parsed.positionAfter, c.dataOffset) << "left at the first sample byte";
  }
}

TEST(WaveReaderTest, ExtraBytesAreCopied) {
  Bytes fmt = FmtBody(17, 1, 22050, 11100, 256, 4);
  PutU16(fmt, 2);
  PutU16(fmt, 505);
  const Parsed parsed =
      ParseBytes(RiffWave({RiffChunk("fmt ", fmt), RiffChunk("data", Bytes(4, 0))}));
  ASSERT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.info.formatBlock.extra[0], 505 & 0xFF);
  EXPECT_EQ(parsed.info.formatBlock.extra[1], 505 >> 8);
}

// Every field of the record for files that sox writes; the expected values
// come from the sox command line and soxi, not from our reader.
struct SoxCase {
  const char* name;
  const char* options;  // sox output options
  uint16_t tag;
  uint16_t channels;
  uint32_t rate;
  uint32_t byteRate;
  uint16_t align;
  uint16_t bits;
  uint16_t extraSize;
  int32_t dataOffset;
  uint32_t dataSize;
  int32_t lengthMs;
  uint32_t lengthFrames;
  uint32_t decoderType;
  const char* typeName;
};

const SoxCase kSoxCases[] = {
    {"16-bit stereo", "-r 44100 -c 2 -b 16", 1, 2, 44100, 176400, 4, 16, 0, 44, 88200, 500, 22050,
     0, "RIFF PCM"},
    {"8-bit mono", "-r 8000 -c 1 -b 8", 1, 1, 8000, 8000, 1, 8, 0, 44, 4000, 500, 4000, 0,
     "RIFF PCM"},
    {"24-bit plain PCM", "-r 48000 -c 2 -b 24 -t wavpcm", 1, 2, 48000, 288000, 6, 24, 0, 44, 144000,
     500, 24000, 0, "RIFF PCM"},
    {"24-bit extensible", "-r 48000 -c 2 -b 24", 0xFFFE, 2, 48000, 288000, 6, 24, 22, 80, 144000,
     500, 24000, 0, "RIFF PCM (拡張)"},
    {"32-bit extensible", "-r 48000 -c 2 -b 32", 0xFFFE, 2, 48000, 384000, 8, 32, 22, 80, 192000,
     500, 24000, 0, "RIFF PCM (拡張)"},
    {"6 channels", "-r 48000 -c 6 -b 16", 0xFFFE, 6, 48000, 576000, 12, 16, 22, 80, 288000, 500,
     24000, 0, "RIFF PCM (拡張)"},
    {"IMA ADPCM", "-r 22050 -c 1 -e ima-adpcm", 17, 1, 22050, 11178, 256, 4, 2, 60, 5632, 503,
     11091, 1, "RIFF IMA ADPCM"},
    {"Microsoft ADPCM", "-r 22050 -c 2 -e ms-adpcm", 2, 2, 22050, 22311, 1024, 4, 32, 90, 11264,
     504, 11113, 1, "RIFF Microsoft ADPCM"},
    {"32-bit float", "-r 44100 -c 2 -e floating-point -b 32", 3, 2, 44100, 352800, 8, 32, 0, 58,
     176400, 500, 22050, 0, "RIFF IEEE Float"},
    {"64-bit float", "-r 44100 -c 1 -e floating-point -b 64", 3, 1, 44100, 352800, 8, 64, 0, 58,
     176400, 500, 22050, 0, "RIFF IEEE Float"},
};

class SoxFileTest : public ::testing::TestWithParam<SoxCase> {};

TEST_P(SoxFileTest, EveryFieldOfTheRecord) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox not installed";
  const SoxCase& c = GetParam();
  test::TempDir dir;
  const std::string name = dir.File("sox.wav");
  const auto made = test::RunCommand(std::string("sox -n ") + c.options + " " +
                                     test::ShellQuote(name) + " synth 0.5 sine 440");
  ASSERT_EQ(made.exitCode, 0) << made.output;
  const Bytes bytes = test::ReadFileBytes(name);

  SoundFormatInfo info;
  ASSERT_EQ(ProbeWaveFile(name.c_str(), info), c.decoderType == 0 ? 0 : 3);
  const WaveFormatBlock& block = info.formatBlock;
  EXPECT_EQ(info.format, &info.formatBlock);
  EXPECT_EQ(block.formatTag, c.tag);
  EXPECT_EQ(block.channels, c.channels);
  EXPECT_EQ(block.samplesPerSec, c.rate);
  EXPECT_EQ(block.avgBytesPerSec, c.byteRate);
  EXPECT_EQ(block.blockAlign, c.align);
  EXPECT_EQ(block.bitsPerSample, c.bits);
  EXPECT_EQ(block.extraSize, c.extraSize);
  if (c.extraSize > 0) {
    EXPECT_EQ(0, std::memcmp(block.extra, bytes.data() + 38, c.extraSize)) << "extra bytes";
  }
  EXPECT_EQ(info.lengthFrames, c.lengthFrames);
  EXPECT_EQ(info.lengthMs, c.lengthMs);
  EXPECT_EQ(info.containerLength, static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(info.dataOffset, c.dataOffset);
  EXPECT_EQ(info.dataSize, c.dataSize);
  EXPECT_EQ(info.reserved, 0u);
  EXPECT_EQ(info.bitRate, static_cast<int32_t>(c.byteRate * 8));
  EXPECT_EQ(info.decoderType, c.decoderType);
  EXPECT_EQ(info.sampleRate, c.rate);
  EXPECT_EQ(info.channels, c.channels);
  EXPECT_STREQ(info.typeName, c.typeName);
  EXPECT_EQ(test::GetU32(bytes, c.dataOffset - 4), c.dataSize) << "data size field";

  // soxi agrees on what it can tell.
  const auto rate = test::RunCommand("soxi -r " + test::ShellQuote(name));
  const auto channels = test::RunCommand("soxi -c " + test::ShellQuote(name));
  EXPECT_EQ(std::stoul(rate.output), c.rate);
  EXPECT_EQ(std::stoul(channels.output), c.channels);
  if (c.decoderType == 0) {
    const auto samples = test::RunCommand("soxi -s " + test::ShellQuote(name));
    EXPECT_EQ(std::stoul(samples.output), info.lengthFrames);
  }
}

INSTANTIATE_TEST_SUITE_P(Sox, SoxFileTest, ::testing::ValuesIn(kSoxCases), [](const auto& param) {
  std::string name = param.param.name;
  for (char& ch : name) {
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

// Which sample layouts are plain data, and what the record keeps of them.
TEST(WaveReaderTest, PlainSampleLayouts) {
  const Bytes data(48, 0x11);
  const struct {
    const char* name;
    Bytes fmt;
    uint32_t decoderType;
    const char* typeName;
    SampleCoding coding = SampleCoding::kPcm;
    uint16_t validBits = 0;
    uint32_t channelMask = 0;
  } cases[] = {
      {"20 valid bits in 24", test::ExtensibleFmtBody(2, 48000, 24, 20, 0x3, 1), 0,
       "RIFF PCM (拡張)", SampleCoding::kPcm, 20, 0x3},
      {"extensible 8-bit", test::ExtensibleFmtBody(1, 8000, 8, 8, 0x4, 1), 0, "RIFF PCM (拡張)",
       SampleCoding::kPcm, 8, 0x4},
      {"valid bits 0 means all", test::ExtensibleFmtBody(6, 48000, 32, 0, 0x3F, 1), 0,
       "RIFF PCM (拡張)", SampleCoding::kPcm, 32, 0x3F},
      {"extensible float 64", test::ExtensibleFmtBody(8, 48000, 64, 64, 0x63F, 3), 0,
       "RIFF IEEE Float (拡張)", SampleCoding::kFloat, 64, 0x63F},
      {"tag 3 without extra size", FmtBody(3, 2, 48000, 384000, 8, 32), 0, "RIFF IEEE Float",
       SampleCoding::kFloat, 32, 0},
      {"tag 1 keeps its name", Pcm16Stereo(), 0, "RIFF PCM", SampleCoding::kPcm, 16, 0},
      {"sub-format ADPCM", test::ExtensibleFmtBody(2, 48000, 16, 16, 0x3, 2), 1, "不明"},
      {"valid bits above the container", test::ExtensibleFmtBody(2, 48000, 16, 24, 0x3, 1), 1,
       "不明"},
      {"float of 24 bits", test::ExtensibleFmtBody(2, 48000, 24, 24, 0x3, 3), 1, "不明"},
      {"tag 3 of 16 bits", FmtBody(3, 2, 48000, 192000, 4, 16), 1, "不明"},
      {"tag 3 with a wrong block align", FmtBody(3, 2, 48000, 384000, 4, 32), 1, "不明"},
  };
  for (const auto& c : cases) {
    const Parsed parsed = ParseBytes(RiffWave(
        {RiffChunk("fmt ", c.fmt), RiffChunk("fact", Bytes(4, 0)), RiffChunk("data", data)}));
    ASSERT_EQ(parsed.result, 0) << c.name;
    const SoundFormatInfo& info = parsed.info;
    EXPECT_EQ(info.decoderType, c.decoderType) << c.name;
    EXPECT_STREQ(info.typeName, c.typeName) << c.name;
    EXPECT_EQ(info.formatChunkSize, c.fmt.size()) << c.name;
    if (c.decoderType != 0) continue;
    EXPECT_EQ(CodingOf(info.formatBlock), c.coding) << c.name;
    EXPECT_EQ(info.validBits, c.validBits) << c.name;
    EXPECT_EQ(info.channelMask, c.channelMask) << c.name;
    EXPECT_EQ(info.lengthFrames, data.size() / info.formatBlock.blockAlign) << c.name;
  }
  // A GUID whose tail is not the standard one is another sub-format.
  Bytes foreign = test::ExtensibleFmtBody(2, 48000, 16, 16, 0x3, 1);
  foreign.back() ^= 1;
  EXPECT_EQ(
      ParseBytes(RiffWave({RiffChunk("fmt ", foreign), RiffChunk("data", data)})).info.decoderType,
      1u);
}

// A LIST chunk spliced between "fmt " and "data" of a sox file: soxi still
// reads it, and the data offset grows by the chunk.
TEST(WaveReaderTest, SoxFileWithListChunkBeforeData) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox not installed";
  test::TempDir dir;
  const std::string plain = dir.File("plain.wav");
  ASSERT_EQ(test::RunCommand("sox -n -r 44100 -c 1 -b 16 " + test::ShellQuote(plain) +
                             " synth 0.1 sine 440")
                .exitCode,
            0);
  Bytes bytes = test::ReadFileBytes(plain);
  Bytes listBody;
  PutText(listBody, "INFOICMT");
  PutU32(listBody, 8);
  PutText(listBody, "Snipora!");
  const Bytes list = RiffChunk("LIST", listBody);
  bytes.insert(bytes.begin() + 36, list.begin(), list.end());
  const uint32_t riffSize = test::GetU32(bytes, 4) + static_cast<uint32_t>(list.size());
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
  const std::string spliced = dir.File("list.wav");
  test::WriteFileBytes(spliced, bytes);

  const auto samples = test::RunCommand("soxi -s " + test::ShellQuote(spliced));
  ASSERT_EQ(samples.exitCode, 0) << samples.output;
  SoundFormatInfo info;
  ASSERT_EQ(ProbeWaveFile(spliced.c_str(), info), 0);
  EXPECT_EQ(info.dataOffset, 44 + static_cast<int32_t>(list.size()));
  EXPECT_EQ(info.lengthFrames, std::stoul(samples.output));
  EXPECT_EQ(info.containerLength, static_cast<int32_t>(bytes.size()));
}

TEST(WaveReaderTest, ProbeOfAMissingFileIsOne) {
  SoundFormatInfo info;
  EXPECT_EQ(ProbeWaveFile("/nonexistent/snipora/x.wav", info), 1);
}

// Mutated and truncated headers: the reader returns a code and never reads
// outside what it owns (run under the sanitizers).
TEST(WaveReaderTest, DamagedHeadersNeverCrash) {
  const Bytes base = RiffWave({RiffChunk("junk", {1, 2, 3}), RiffChunk("fmt ", Pcm16Stereo()),
                               RiffChunk("LIST", Bytes(6, 'x')), RiffChunk("data", Bytes(64, 9))});
  std::mt19937 random(99);
  // tmpfs when there is one: hundreds of small files, no disk writes needed.
  test::TempDir dir;
  const std::string name = std::filesystem::is_directory("/dev/shm")
                               ? "/dev/shm/snipora-fuzz-" + std::to_string(::getpid()) + ".wav"
                               : dir.File("fuzz.wav");
  int accepted = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes bytes = base;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (random() % 3 == 0) bytes.resize(random() % bytes.size());
    test::WriteFileBytes(name, bytes);
    CSectorFile file(20480);
    ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
    SoundFormatInfo info;
    const int result = ReadRiffWaveHeader(file, info);
    ASSERT_TRUE(result == 0 || result == 2 || result == 4 || result == 7) << result;
    if (result == 0) {
      ++accepted;
      EXPECT_LE(uint64_t{info.dataSize} + static_cast<uint32_t>(info.dataOffset), bytes.size());
      EXPECT_NE(info.formatBlock.blockAlign, 0);
      EXPECT_NE(info.formatBlock.avgBytesPerSec, 0u);
    }
  }
  std::filesystem::remove(name);
  EXPECT_GT(accepted, 0) << "some mutations leave a readable file";
}

TEST(WaveReaderTest, UnitConversions) {
  struct Row {
    uint32_t bytes;
    uint32_t byteRate;
    uint32_t ms;
  } rows[] = {
      {1764000, 176400, 10000},
      {176399, 176400, 999},
      {0xFFFFFFFF, 176400, 24347887},
      {1000000, 8000000, 125},  // a rate above 4294967: the 64-bit product
      {5, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BytesToMilliseconds(row.bytes, row.byteRate), row.ms) << row.bytes;
  }
  EXPECT_EQ(FramesToMilliseconds(44100, 44100), 1000u);
  EXPECT_EQ(FramesToMilliseconds(0xFFFFFFFF, 48000), 89478485u);
  EXPECT_EQ(FramesToMilliseconds(1, 0), 0u);
  EXPECT_EQ(MillisecondsToBytes(1000, 176400, 4), 176400u);
  EXPECT_EQ(MillisecondsToBytes(1, 176400, 4), 176u);
  EXPECT_EQ(MillisecondsToBytes(1, 132300, 6), 132u) << "rounded down to whole frames";
  EXPECT_EQ(MillisecondsToBytes(3000000, 1411200, 4), 4233600000u) << "64-bit product";
  EXPECT_EQ(FramesToBytes(10, 6), 60u);
  EXPECT_EQ(BytesToFrames(61, 6), 10u);
  EXPECT_EQ(BytesToFrames(61, 0), 0u);
}

// RF64 and BW64 files, and a RIFF file with a "ds64" chunk: a size field of
// 0xFFFFFFFF defers to "ds64" (unless a streaming writer left its sizes 0); a
// "data" size that states itself is taken as it is.
TEST(WaveReaderTest, SizesFromDs64) {
  const Bytes data(12, 0x33);
  const auto withData = [&data](Bytes header) {
    header.insert(header.end(), data.begin(), data.end());
    return header;
  };
  Bytes statedData = RiffWave({RiffChunk("ds64", test::Ds64ChunkBody(0, 99999, 0)),
                               RiffChunk("fmt ", Pcm16Stereo()), RiffChunk("data", data)});
  // An RF64 file whose "data" chunk states its own size; the RIFF size is still in "ds64".
  Bytes rf64StatedData = test::Rf64Header("RF64", 12, 4, {RiffChunk("fmt ", Pcm16Stereo())});
  rf64StatedData.resize(rf64StatedData.size() - 4);
  PutU32(rf64StatedData, 12);
  // As a streaming writer leaves it: every "ds64" size 0; the data runs to the end.
  Bytes streamed = withData(test::Rf64Header("RF64", 12, 4, {RiffChunk("fmt ", Pcm16Stereo())}));
  std::fill(streamed.begin() + 20, streamed.begin() + 48, 0);
  const struct {
    const char* name;
    Bytes file;
    uint64_t dataSize;
    int64_t containerPastFile;  // what the stated container length exceeds the file by
  } cases[] = {
      {"RF64", withData(test::Rf64Header("RF64", 12, 4, {RiffChunk("fmt ", Pcm16Stereo())})), 12,
       0},
      {"BW64", withData(test::Rf64Header("BW64", 12, 4, {RiffChunk("fmt ", Pcm16Stereo())})), 12,
       0},
      {"RIFF with ds64",
       withData(test::Rf64Header("RIFF", 12, 4, {RiffChunk("fmt ", Pcm16Stereo())})), 12, 0},
      {"ds64 claims more than the file holds",
       withData(test::Rf64Header("RF64", 400, 4, {RiffChunk("fmt ", Pcm16Stereo())})), 12, 388},
      {"data size stated in data", statedData, 12, 0},
      {"RF64 with the data size stated in data", withData(rf64StatedData), 12, 0},
      {"RF64 streamed", streamed, 12, int64_t{0xFFFFFFFF} + 8 - std::ssize(streamed)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Parsed parsed = ParseBytes(c.file);
    ASSERT_EQ(parsed.result, 0);
    EXPECT_EQ(parsed.info.dataSize, c.dataSize);
    EXPECT_EQ(parsed.info.lengthFrames, c.dataSize / 4);
    EXPECT_EQ(parsed.info.containerLength,
              static_cast<int64_t>(c.file.size()) + c.containerPastFile);
    EXPECT_EQ(parsed.positionAfter, parsed.info.dataOffset);
    EXPECT_STREQ(parsed.info.typeName, "RIFF PCM");
  }
}

// What ffmpeg writes to a pipe, where it cannot go back to fill in the sizes.
TEST(WaveReaderTest, FilesStreamedByFfmpegReadToTheirEnd) {
  if (!test::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  test::TempDir dir;
  const std::string path = dir.File("streamed.wav");
  for (const char* container : {"", "-rf64 always"}) {
    SCOPED_TRACE(container);
    const test::CommandResult made = test::RunCommand(
        std::string("ffmpeg -v error -f lavfi -i sine=d=0.5:r=8000 -c:a pcm_s16le ") + container +
        " -f wav - | cat > " + test::ShellQuote(path));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    SoundFormatInfo info;
    ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0);
    EXPECT_EQ(info.lengthFrames, 4000u);
  }
}

// Sparse files past 4 GiB open with their whole length, in 64 bits: BW64
// with its sizes in "ds64", and a streamed RIFF file whose "data" size says
// 0xFFFFFFFF and that has no "ds64" (its data runs to the end of the file).
TEST(WaveReaderTest, SourcesPast4GiBKeepTheirLength) {
  test::TempDir dir;
  const std::string name = dir.File("big.wav");
  const uint64_t dataSize = (uint64_t{6} << 30) + 4;  // 3 Gi frames of 16-bit stereo, and one
  const Bytes fmt = RiffChunk("fmt ", FmtBody(1, 2, 48000, 192000, 4, 16));
  Bytes streamed = RiffWave({fmt});
  PutText(streamed, "data");
  PutU32(streamed, 0xFFFFFFFF);
  for (const Bytes& header : {test::Rf64Header("BW64", dataSize, 4, {fmt}), streamed}) {
    SCOPED_TRACE(std::string(header.begin(), header.begin() + 4));
    test::WriteSparseWave(name, header, dataSize, {});
    CSectorFile file(20480);
    ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
    SoundFormatInfo info;
    ASSERT_EQ(ReadRiffWaveHeader(file, info), 0);
    file.Close();
    std::filesystem::remove(name);
    EXPECT_EQ(info.dataOffset, static_cast<int32_t>(header.size()));
    EXPECT_EQ(info.dataSize, dataSize);
    EXPECT_EQ(info.lengthFrames, dataSize / 4);
    EXPECT_EQ(info.lengthMs, static_cast<int32_t>(dataSize * 1000 / 192000));
  }
}

TEST(WaveReaderTest, RecordCopiesPointAtTheirOwnBlock) {
  SoundFormatInfo original;
  original.formatBlock.channels = 2;
  original.SetTypeName("RIFF PCM");
  SoundFormatInfo copy(original);
  SoundFormatInfo assigned;
  assigned = original;
  EXPECT_EQ(copy.format, &copy.formatBlock);
  EXPECT_EQ(assigned.format, &assigned.formatBlock);
  EXPECT_EQ(copy.format->channels, 2);
  EXPECT_STREQ(assigned.typeName, "RIFF PCM");
}

}  // namespace
}  // namespace snipora
