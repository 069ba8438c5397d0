#include "audiofile/nwa_module.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

Bytes NwaHeader(uint16_t channels, uint16_t bits, uint32_t rate, int32_t compression,
                int32_t field12) {
  Bytes b(44, 0);
  auto put = [&](size_t at, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0, channels, 2);
  put(2, bits, 2);
  put(4, rate, 4);
  put(8, static_cast<uint32_t>(compression), 4);
  put(12, static_cast<uint32_t>(field12), 4);
  put(16, 0xDEADBEEF, 4);  // the rest of the header is not looked at
  return b;
}

class NwaModuleTest : public ::testing::Test {
 protected:
  // Reads bytes stored under name with the module; the file's path decides.
  int Read(const std::string& name, const Bytes& bytes, SoundFormatInfo& info) {
    const std::string path = dir_.File(name);
    test::WriteFileBytes(path, bytes);
    CSectorFile file(512 * 1024);
    if (file.Open(path.c_str(), "rb", 32) != 0) return -100;
    return module_.ReadHeader(file, info);
  }

  test::TempDir dir_;
  Cdeclib_h_nwa module_;
};

TEST_F(NwaModuleTest, DescribesTheUncompressedExample) {
  Bytes bytes = NwaHeader(2, 16, 44100, -1, 0);
  bytes.resize(176444, 0x11);
  SoundFormatInfo info;
  ASSERT_EQ(Read("x.nwa", bytes, info), 0);
  EXPECT_EQ(info.dataSize, 176400u);
  EXPECT_EQ(info.dataOffset, 44);
  EXPECT_EQ(info.containerLength, 176444);
  EXPECT_EQ(info.formatBlock.formatTag, 1);
  EXPECT_EQ(info.formatBlock.channels, 2);
  EXPECT_EQ(info.formatBlock.samplesPerSec, 44100u);
  EXPECT_EQ(info.formatBlock.blockAlign, 4);
  EXPECT_EQ(info.formatBlock.avgBytesPerSec, 176400u);
  EXPECT_EQ(info.formatBlock.bitsPerSample, 16);
  EXPECT_EQ(info.formatBlock.extraSize, 0);
  EXPECT_EQ(info.lengthMs, 1000);
  EXPECT_EQ(info.lengthFrames, 44100u);
  EXPECT_EQ(info.bitRate, 44100 * 16 * 2);
  EXPECT_EQ(info.sampleRate, 44100u);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.decoderType, 0u);
  EXPECT_EQ(info.reserved, 0u);
  EXPECT_STREQ(info.typeName, "NWA PCM");
  EXPECT_EQ(info.format, &info.formatBlock);
}

TEST_F(NwaModuleTest, Refusals) {
  const Bytes good = NwaHeader(1, 8, 22050, -1, 0);
  struct Row {
    const char* name;
    std::string file;
    Bytes bytes;
  } rows[] = {
      {"upper-case extension", "x.NWA", good},
      {"other extension", "x.wav", good},
      {"compressed (level 0)", "x.nwa", NwaHeader(1, 8, 22050, 0, 0)},
      {"compressed (level 2)", "x.nwa", NwaHeader(2, 16, 44100, 2, 0)},
      {"field at 12 not 0", "x.nwa", NwaHeader(2, 16, 44100, -1, 1)},
      {"three channels", "x.nwa", NwaHeader(3, 16, 44100, -1, 0)},
      {"no channels", "x.nwa", NwaHeader(0, 16, 44100, -1, 0)},
      {"under 8 bits", "x.nwa", NwaHeader(2, 4, 44100, -1, 0)},
      {"shorter than 44 bytes", "x.nwa", Bytes(good.begin(), good.begin() + 43)},
      {"empty", "x.nwa", Bytes{}},
  };
  for (const Row& row : rows) {
    SoundFormatInfo info;
    EXPECT_EQ(Read(row.file, row.bytes, info), -1) << row.name;
  }
  SoundFormatInfo info;
  EXPECT_EQ(Read("y.nwa", good, info), 0) << "same bytes, lower-case name";
  EXPECT_EQ(info.dataSize, 0u);
}

TEST_F(NwaModuleTest, InfoTable) {
  int number = 0;
  EXPECT_STREQ(module_.GetInfo(7, &number), "102");
  EXPECT_EQ(number, 102);
  EXPECT_STREQ(module_.GetInfo(7, nullptr), "102");
  EXPECT_EQ(module_.GetInfo(12, &number), nullptr);
  EXPECT_EQ(module_.GetInfo(9, nullptr), nullptr);
  EXPECT_EQ(module_.GetInfo(10, nullptr), nullptr);
  EXPECT_EQ(module_.GetInfo(0, nullptr), nullptr);
  EXPECT_STREQ(module_.GetInfo(1, nullptr), "*.nwa");
  EXPECT_STREQ(module_.GetInfo(2, nullptr), "NWA サウンド(*.nwa)|*.nwa|");
  EXPECT_STREQ(module_.GetInfo(3, nullptr), "NWA Header");
  EXPECT_STREQ(module_.GetInfo(4, nullptr), "declib_h_nwa");
  EXPECT_STREQ(module_.GetInfo(5, nullptr), "Cdeclib_h_nwa");
  EXPECT_STREQ(module_.GetInfo(6, nullptr), "1.02");
  EXPECT_STREQ(module_.GetInfo(8, nullptr), "Snipora 2026");
  EXPECT_STREQ(module_.GetInfo(11, nullptr), "NWA PCMヘッダー取得専用");
  EXPECT_EQ(module_.GetType(), 0u);
}

// The base class's inherited behaviour, seen through the only module.
TEST_F(NwaModuleTest, BaseOperations) {
  int scratch1 = 0;
  int scratch2 = 0;
  EXPECT_EQ(module_.Attach(&scratch1, &scratch2), 0);
  EXPECT_EQ(module_.value1, &scratch1);
  EXPECT_EQ(module_.value2, &scratch2);
  EXPECT_EQ(module_.next, nullptr);

  const std::string path = dir_.File("seek.nwa");
  const Bytes data = test::SeededBytes(3000, 8);
  test::WriteFileBytes(path, data);
  CSectorFile file(4096);
  ASSERT_EQ(file.Open(path.c_str(), "rb", 32), 0);
  SoundFormatInfo info;
  DecoderSeekRequest request{5, 100};
  EXPECT_EQ(module_.SeekSource(request, file, info), -1) << "only frame 0 can be sought";
  request = {0, 2500};
  EXPECT_EQ(module_.SeekSource(request, file, info), 0);
  EXPECT_EQ(file.Tell(), 2500);
  EXPECT_EQ(request.frame, 0u);
  EXPECT_EQ(request.offset, 2500u);

  CRingBuffer input;
  CRingBuffer output;
  ASSERT_EQ(input.Allocate(100), 0);
  ASSERT_EQ(output.Allocate(100), 0);
  EXPECT_EQ(module_.Decode(input, output, 50), kDecodeInputUsedUp);
  ASSERT_EQ(input.Push(data.data(), 80), 0);
  ASSERT_EQ(output.Push(data.data(), 10), 0);
  EXPECT_EQ(module_.Decode(input, output, 50), kDecodeOk);
  EXPECT_EQ(output.Count(), 50u) << "no more than the limit";
  EXPECT_EQ(input.Count(), 40u);
  ASSERT_EQ(output.Skip(50), 0);
  EXPECT_EQ(module_.Decode(input, output, 50), kDecodeInputUsedUp);
  Bytes moved(40);
  ASSERT_EQ(output.Pop(moved.data(), 40), 0);
  EXPECT_EQ(moved, Bytes(data.begin() + 40, data.begin() + 80)) << "bytes unchanged, in order";
  EXPECT_EQ(module_.BeginDecode(input, info), 0);
  EXPECT_EQ(module_.EndDecode(), 0);
}

// A module that tells when it is destroyed.
class ProbeModule : public Cdeclib {
 public:
  explicit ProbeModule(bool& destroyed) : destroyed_(destroyed) {}
  ~ProbeModule() override { destroyed_ = true; }
  const char* GetInfo(int, int*) override { return nullptr; }

 private:
  bool& destroyed_;
};

TEST(DecoderModuleTest, DefaultsAndDestroy) {
  bool destroyed = false;
  Cdeclib* module = new ProbeModule(destroyed);
  EXPECT_EQ(module->GetType(), 0u);
  test::TempDir dir;
  const std::string path = dir.File("any.bin");
  test::WriteFileBytes(path, Bytes(64, 1));
  CSectorFile file(4096);
  ASSERT_EQ(file.Open(path.c_str(), "rb", 32), 0);
  SoundFormatInfo info;
  EXPECT_EQ(module->ReadHeader(file, info), -1) << "the base recognises nothing";
  module->Destroy();
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace snipora
