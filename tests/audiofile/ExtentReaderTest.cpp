#include "audiofile/extent_reader.h"

#include <random>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

// Stretches at odd positions and lengths: at the file's first and last byte,
// inside one sector, across several 4 KiB blocks, empty, overlapping and
// adjacent ones, out of order. The caller takes runs of varied sizes, and
// changes them in place as the fade does, without effect on later runs.
TEST(ExtentReader, DeliversExactlyTheExtentsBytesInOrder) {
  test::TempDir dir;
  const std::string name = dir.File("source.bin");
  const Bytes file = test::SeededBytes(5 * 4096 + 1001, 3);
  test::WriteFileBytes(name, file);
  const auto size = static_cast<uint32_t>(file.size());
  const std::vector<FileExtent> extents = {
      {0, 1},     {size - 1, 1}, {7, 4089},     {4095, 2},           {4096, 4096},
      {13, 0},    {1000, 12345}, {3, size - 5}, {size - 4097, 4097}, {0, size},
      {20000, 1}, {20001, 1},    {5000, 9000},
  };
  for (const bool copying : {false, true}) {
    SCOPED_TRACE(copying ? "Read" : "Next and Consume");
    CExtentReader reader(4096, 2);
    ASSERT_EQ(reader.Open(name.c_str()), 0);
    reader.Start(extents);
    std::mt19937 random(5);
    for (const FileExtent& extent : extents) {
      Bytes got;
      while (got.size() < extent.length) {
        const auto want = static_cast<uint32_t>(
            std::min<size_t>(1 + random() % 6000, extent.length - got.size()));
        if (copying) {
          Bytes part(want);
          ASSERT_EQ(reader.Read(part.data(), want), 0);
          got.insert(got.end(), part.begin(), part.end());
          continue;
        }
        uint8_t* run = nullptr;
        uint32_t length = 0;
        ASSERT_EQ(reader.Next(want, &run, &length), 0);
        ASSERT_GT(length, 0u);
        ASSERT_LE(length, want);
        got.insert(got.end(), run, run + length);
        run[0] ^= 0xFF;
        reader.Consume(length);
      }
      ASSERT_TRUE(std::equal(got.begin(), got.end(), file.begin() + extent.position))
          << extent.position << " + " << extent.length;
    }
    uint8_t* run = nullptr;
    uint32_t length = 0;
    EXPECT_EQ(reader.Next(1, &run, &length), 6) << "nothing left of the extents";
  }
}

// A file cut short under the reader gives 6 where its bytes end, never a
// wait without end; stopping with blocks still unread does not wait either.
TEST(ExtentReader, ShortFileAndEarlyStop) {
  test::TempDir dir;
  const std::string name = dir.File("source.bin");
  const Bytes file = test::SeededBytes(3 * 4096 + 10, 4);
  test::WriteFileBytes(name, file);
  {
    CExtentReader reader(4096, 2);
    ASSERT_EQ(reader.Open(name.c_str()), 0);
    reader.Start({{100, static_cast<uint32_t>(file.size())}});
    Bytes got(file.size());
    EXPECT_EQ(reader.Read(got.data(), static_cast<uint32_t>(file.size() - 100)), 0);
    EXPECT_EQ(reader.Read(got.data(), 1), 6);
  }
  CExtentReader stopped(4096, 2);
  ASSERT_EQ(stopped.Open(name.c_str()), 0);
  stopped.Start({{0, 4096}, {0, 4096}, {0, 4096}, {0, 4096}});
  EXPECT_EQ(stopped.Open(name.c_str()), 4);
  stopped.Close();
  EXPECT_EQ(stopped.Open(dir.File("missing").c_str()), 2);
}

}  // namespace
}  // namespace snipora
