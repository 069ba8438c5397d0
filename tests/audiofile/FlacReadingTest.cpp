// FLAC files read as the flac tool decodes them: every byte of the decoded
// data, at any position and in stretches, and damaged files refused or failed
// with a reason instead of sound.
#include <gtest/gtest.h>

#include <algorithm>

#include "audiofile/flac_file.h"
#include "audiofile/sample_source.h"
#include "tests/support/flac_files.h"

namespace snipora::test {
namespace {

// Up to n bytes from `position` of the data, through a source.
Bytes ReadAt(ISampleData& data, uint64_t position, uint32_t n) {
  Bytes bytes(n);
  if (data.Seek(position) != 0) return {};
  bytes.resize(data.Read(bytes.data(), n));
  return bytes;
}

Bytes Slice(const Bytes& bytes, uint64_t from, uint64_t n) {
  from = std::min<uint64_t>(from, bytes.size());
  return {bytes.begin() + from, bytes.begin() + std::min<uint64_t>(bytes.size(), from + n)};
}

TEST(FlacReadingTest, DecodesAsTheFlacToolAtEveryPosition) {
  struct Row {
    const char* name;
    FlacShape shape;
    uint16_t formatTag;
  };
  const Row rows[] = {
      {"8-bit mono 8 kHz", {8, 1, 8000, 30001}, 1},
      {"16-bit stereo 44.1 kHz", {16, 2, 44100, 50000}, 1},
      {"20-bit stereo 48 kHz", {20, 2, 48000, 20011}, 0xFFFE},
      {"24-bit 5.1 96 kHz", {24, 6, 96000, 20000}, 0xFFFE},
      {"16-bit 7.1 at 11.025 kHz, blocks of 1152", {16, 8, 11025, 9000}, 0xFFFE},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.File("in.flac");
    std::string why;
    const bool blocks = row.shape.channels == 8;
    ASSERT_TRUE(MakeFlac(path, row.shape, why, blocks ? "--blocksize=1152" : "")) << why;
    const Bytes expected = FlacToolSamples(path);
    SoundFormatInfo info;
    ASSERT_EQ(ReadFlacFile(path, info), FlacProblem::kNone);
    const WaveFormatBlock& block = info.formatBlock;
    EXPECT_EQ(info.decoderType, kFlacDecoderType);
    EXPECT_EQ(block.formatTag, row.formatTag);
    EXPECT_EQ(info.validBits, row.shape.bits);
    EXPECT_EQ(block.samplesPerSec, row.shape.rate);
    EXPECT_EQ(info.lengthFrames, row.shape.frames);
    EXPECT_EQ(info.dataSize, row.shape.frames * block.blockAlign);
    ASSERT_EQ(expected.size(), info.dataSize);

    const std::unique_ptr<ISampleData> data = OpenSampleData(path, info, 65536);
    ASSERT_TRUE(data);
    EXPECT_EQ(ReadAt(*data, 0, static_cast<uint32_t>(info.dataSize + 100)), expected);
    // Odd frames back and forth, a byte inside a frame, and the end.
    const uint64_t align = block.blockAlign;
    const uint64_t last = row.shape.frames - 1;
    for (const uint64_t at : {last * align, 4097 * align, align, 4095 * align + 1, 12345 * align,
                              12346 * align, info.dataSize}) {
      SCOPED_TRACE(at);
      EXPECT_EQ(ReadAt(*data, at, 777 * static_cast<uint32_t>(align)),
                Slice(expected, at, 777 * align));
    }
    EXPECT_NE(data->Seek(info.dataSize + 1), 0);

    // Stretches joined in order, the second before the first.
    const std::unique_ptr<ISampleRuns> runs =
        StartSampleRuns(path, info, {{4100, 9000}, {3, 10}}, 4096, 4);
    ASSERT_TRUE(runs);
    Bytes joined(4907 * align);
    ASSERT_EQ(runs->Read(joined.data(), static_cast<uint32_t>(joined.size())), 0);
    Bytes wanted = Slice(expected, 4100 * align, 4900 * align);
    const Bytes head = Slice(expected, 3 * align, 7 * align);
    wanted.insert(wanted.end(), head.begin(), head.end());
    EXPECT_EQ(joined, wanted);
    uint8_t* run = nullptr;
    uint32_t length = 0;
    EXPECT_EQ(runs->Next(1, &run, &length), 6) << "nothing is left of the stretches";
  }
}

TEST(FlacReadingTest, DamagedFilesAreRefusedOrFailWithoutSound) {
  TempDir dir;
  const std::string good = dir.File("good.flac");
  const FlacShape shape{16, 2, 44100, 60000};
  std::string why;
  ASSERT_TRUE(MakeFlac(good, shape, why)) << why;
  const Bytes original = ReadFileBytes(good);
  const Bytes expected = FlacToolSamples(good);
  struct Row {
    const char* name;
    void (*change)(Bytes&);
    FlacProblem atOpen;
    bool readsWhole;  // when it opens: every sample reads as the original's
  };
  const Row rows[] = {
      {"not FLAC", [](Bytes& b) { b[0] = 'X'; }, FlacProblem::kNotFlac, false},
      {"metadata block of an unknown type", [](Bytes& b) { b[4] = 0x7F; }, FlacProblem::kDamaged,
       false},
      {"no length stated",
       // The 36 bits of total samples: the low 4 bits of body byte 13, bytes 14 to 17.
       [](Bytes& b) { b[8 + 13] &= 0xF0, std::fill(b.begin() + 8 + 14, b.begin() + 8 + 18, 0); },
       FlacProblem::kNoLength, false},
      {"cut short", [](Bytes& b) { b.resize(b.size() * 3 / 5); }, FlacProblem::kCutShort, false},
      {"a frame damaged in the middle",
       [](Bytes& b) {
         for (size_t i = b.size() / 2; i < b.size() / 2 + 64; ++i) b[i] ^= 0x5A;
       },
       FlacProblem::kNone, false},
      {"a tag after the last frame",
       [](Bytes& b) {
         const Bytes tag(128, 'T');
         b.insert(b.end(), tag.begin(), tag.end());
       },
       FlacProblem::kNone, true},
      {"an ID3v2 tag before the stream",
       [](Bytes& b) {
         const Bytes id3 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
         b.insert(b.begin(), 20, 0);
         b.insert(b.begin(), id3.begin(), id3.end());
       },
       FlacProblem::kNone, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes bytes = original;
    row.change(bytes);
    const std::string path = dir.File("changed.flac");
    WriteFileBytes(path, bytes);
    SoundFormatInfo info;
    ASSERT_EQ(ReadFlacFile(path, info), row.atOpen);
    if (row.atOpen != FlacProblem::kNone) continue;
    const std::unique_ptr<ISampleData> data = OpenSampleData(path, info, 65536);
    ASSERT_TRUE(data);
    const Bytes read = ReadAt(*data, 0, static_cast<uint32_t>(info.dataSize));
    if (row.readsWhole) {
      EXPECT_EQ(read, expected);
    } else {
      EXPECT_LT(read.size(), info.dataSize);
      EXPECT_TRUE(std::equal(read.begin(), read.end(), expected.begin()))
          << "what reads before the damage is the sound";
    }
  }
}

}  // namespace
}  // namespace snipora::test
