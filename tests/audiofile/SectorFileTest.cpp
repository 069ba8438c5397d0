#include "audiofile/sector_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/system/file_io.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

// Every behaviour runs with 512- and 4096-byte sectors.
class SectorFileTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  uint32_t sector() const { return GetParam(); }
  test::TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Sectors, SectorFileTest, ::testing::Values(512u, 4096u));

TEST_P(SectorFileTest, CapacityIsRoundedUpToWholeSectors) {
  CSectorFile file(60000, sector());
  EXPECT_EQ(file.SectorSize(), sector());
  EXPECT_EQ(file.Capacity(), sector() == 512 ? 60416u : 61440u);
  CSectorFile exact(512 * 1024, sector());
  EXPECT_EQ(exact.Capacity(), 512u * 1024);
  const uint32_t detected = CSectorFile(60000).SectorSize();
  EXPECT_GE(detected, 512u) << "never 0, never below 512";
  EXPECT_EQ(detected & (detected - 1), 0u);
}

TEST_P(SectorFileTest, OpenCloseResults) {
  CSectorFile file(8 * sector(), sector());
  std::string path;
  EXPECT_EQ(file.Open(dir_.File("missing").c_str(), "rb", 32), 2);
  EXPECT_EQ(file.Open(dir_.File("x").c_str(), "ab", 32), 3) << "neither r nor w";
  EXPECT_EQ(file.Open("", "rb", 32), 3);
  EXPECT_EQ(file.Open("\"\"", "rb", 32), 3) << "only quotes";
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Tell(), -1);
  EXPECT_EQ(file.GetPath(path), 9);
  EXPECT_EQ(file.Close(), -1);

  const std::string name = dir_.File("a.bin");
  ASSERT_EQ(file.Open(("\"" + name + "\"").c_str(), "wb", 32), 0);
  EXPECT_EQ(file.Open(name.c_str(), "wb", 32), 4);
  ASSERT_EQ(file.GetPath(path), 0);
  EXPECT_EQ(path, name);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_TRUE(std::filesystem::exists(name));
}

TEST_P(SectorFileTest, ReadsAtTheEndOfTheFile) {
  const std::string empty = dir_.File("empty");
  test::WriteFileBytes(empty, {});
  CSectorFile file(4 * sector(), sector());
  uint8_t buffer[64];
  ASSERT_EQ(file.Open(empty.c_str(), "rb", 32), 0);
  EXPECT_EQ(file.Read(buffer, 1, 1), 0u);
  EXPECT_EQ(file.Status(), 8);
  EXPECT_EQ(file.Close(), 0);

  const std::string ten = dir_.File("ten");
  const Bytes data = test::SeededBytes(10, 4);
  test::WriteFileBytes(ten, data);
  ASSERT_EQ(file.Open(ten.c_str(), "rb", 32), 0);
  std::vector<uint8_t> big(file.Capacity());
  EXPECT_EQ(file.Read(big.data(), 1, file.Capacity()), 0u) << "larger than capacity - sector";
  EXPECT_EQ(file.ReadU16(), data[0] | data[1] << 8);
  EXPECT_EQ(file.Read(buffer, 3, 3), 2u) << "two whole items and a partial one";
  EXPECT_TRUE(std::equal(data.begin() + 2, data.end(), buffer));
  EXPECT_EQ(file.Read(buffer, 1, 1), 0u);
  EXPECT_EQ(file.Tell(), 10);
  EXPECT_EQ(file.ReadU32(), 0xFFFFFFFFu);
  EXPECT_EQ(file.Skip(1), 8);
}

// Seeded blocks written with varied sizes, then read back from random
// positions reached with every origin, under every read-ahead mode.
TEST_P(SectorFileTest, RandomBlocksRoundTrip) {
  const std::string name = dir_.File("blocks.bin");
  const Bytes data = test::SeededBytes(9 * sector() + 123, sector());
  {
    CSectorFile file(3 * sector() + 1, sector());  // small ring: many wraps and flushes
    ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
    // Where the file system takes direct I/O at this sector size, it is used.
    const uint32_t alignment = fileio::DirectIoAlignmentOfPath(name.c_str());
    if (alignment != 0 && sector() % alignment == 0) {
      EXPECT_TRUE(file.IsDirect());
    }
    std::mt19937 random(7);
    size_t written = 0;
    while (written < data.size()) {
      const size_t piece = std::min<size_t>(data.size() - written, 1 + random() % (2 * sector()));
      ASSERT_EQ(file.Write(data.data() + written, 1, static_cast<uint32_t>(piece)), piece);
      written += piece;
      ASSERT_EQ(file.Tell(), static_cast<int64_t>(written));
      ASSERT_EQ(file.GetSize(), written);
    }
    EXPECT_EQ(file.Close(), 0);
    EXPECT_FALSE(file.HasWriteError());
  }
  ASSERT_EQ(test::ReadFileBytes(name), data);

  struct Mode {
    uint32_t mode;
    int32_t minimum;
  };
  for (const Mode readAhead : {Mode{0, 0}, Mode{1, 0}, Mode{2, 100}, Mode{2, 0}}) {
    SCOPED_TRACE(readAhead.mode);
    CSectorFile file(3 * sector(), sector());
    ASSERT_EQ(file.SetReadAhead(readAhead.mode, readAhead.minimum), 0);
    ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
    EXPECT_EQ(file.GetSize(), data.size());
    std::mt19937 random(readAhead.mode * 31 + readAhead.minimum);
    const auto size = static_cast<int64_t>(data.size());
    for (int step = 0; step < 300; ++step) {
      const int64_t target = random() % (size + 1);
      const int origin = static_cast<int>(random() % 3);
      const int64_t base = origin == 0 ? 0 : origin == 1 ? file.Tell() : size;
      ASSERT_EQ(file.Seek(static_cast<int32_t>(target - base), origin), 0);
      ASSERT_EQ(file.Tell(), target);
      const uint32_t length = random() % (2 * sector());
      std::vector<uint8_t> got(length + 1);
      const uint32_t expected = static_cast<uint32_t>(std::min<int64_t>(length, size - target));
      ASSERT_EQ(file.Read(got.data(), 1, length), length == 0 ? 0 : expected);
      ASSERT_TRUE(std::equal(got.begin(), got.begin() + expected, data.begin() + target));
      ASSERT_EQ(file.Tell(), target + expected);
    }
    ASSERT_EQ(file.Seek(0, 0), 0);
    std::vector<uint8_t> all(data.size());
    EXPECT_EQ(file.ReadBlock(all.data(), static_cast<uint32_t>(all.size())), data.size());
    EXPECT_EQ(all, data);
  }
}

TEST_P(SectorFileTest, SeekRefusesPositionsOutsideTheFile) {
  const std::string name = dir_.File("small");
  test::WriteFileBytes(name, test::SeededBytes(100, 1));
  for (const char* mode : {"rb", "r+b"}) {
    CSectorFile file(4 * sector(), sector());
    ASSERT_EQ(file.Open(name.c_str(), mode, 32), 0);
    EXPECT_EQ(file.Seek(-1, 0), 3);
    EXPECT_EQ(file.Seek(101, 0), 3);
    EXPECT_EQ(file.Seek(1, 2), 3);
    EXPECT_EQ(file.Seek(0, 3), 3);
    EXPECT_EQ(file.SeekLarge(101), 3);
    EXPECT_EQ(file.Seek(-100, 2), 0);
    EXPECT_EQ(file.Seek(-1, 1), 3);
    EXPECT_EQ(file.Seek(100, 1), 0);
    EXPECT_EQ(file.Tell(), 100);
  }
}

// Random writes, seeks and skips in write mode against a byte-vector model:
// overwriting re-read sectors, the partial last sector taken back from the
// tail buffer, extending past the end and cutting to whole sectors; half of
// the runs write appended blocks from a thread of their own.
TEST_P(SectorFileTest, WriteModeMatchesModel) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    const std::string name = dir_.File("model" + std::to_string(seed));
    CSectorFile file(4 * sector(), sector());
    ASSERT_EQ(file.SetReadAhead(seed % 3 == 0 ? 0 : 1, 0), 0);
    ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
    if (seed > 3) {
      ASSERT_EQ(file.EnableWriteBehind(), 0);
    }
    Bytes model;
    int64_t position = 0;
    std::mt19937 random(seed);
    for (int step = 0; step < 200; ++step) {
      const uint32_t action = random() % 10;
      if (action < 5) {
        const uint32_t length = 1 + random() % (sector() + sector() / 2);
        const Bytes block = test::SeededBytes(length, random());
        ASSERT_EQ(file.Write(block.data(), 1, length), length)
            << "step " << step << " at " << position << " of " << model.size();
        if (position + length > static_cast<int64_t>(model.size())) model.resize(position + length);
        std::copy(block.begin(), block.end(), model.begin() + position);
        position += length;
      } else if (action < 8) {
        const int64_t target = random() % (model.size() + 1);
        const int origin = static_cast<int>(random() % 3);
        const int64_t base = origin == 0 ? 0 : origin == 1 ? position : model.size();
        ASSERT_EQ(file.Seek(static_cast<int32_t>(target - base), origin), 0);
        position = target;
      } else if (action == 8) {
        const uint32_t length = random() % 64;
        const int result = file.Skip(length);
        if (position + length <= static_cast<int64_t>(model.size())) {
          ASSERT_EQ(result, 0);
          position += length;
        } else {
          position = position == static_cast<int64_t>(model.size()) ? position : model.size();
        }
      } else {
        const uint32_t value = random();
        ASSERT_EQ(file.WriteU32(value), 0);
        if (position + 4 > static_cast<int64_t>(model.size())) model.resize(position + 4);
        for (int i = 0; i < 4; ++i) model[position + i] = static_cast<uint8_t>(value >> (8 * i));
        position += 4;
      }
      ASSERT_EQ(file.Tell(), position) << "step " << step;
      ASSERT_EQ(file.GetSize(), model.size()) << "step " << step;
    }
    ASSERT_EQ(file.Close(), 0);
    ASSERT_EQ(test::ReadFileBytes(name), model);
  }
}

TEST_P(SectorFileTest, ReadToRingMovesFileBytes) {
  const std::string name = dir_.File("ring.bin");
  const Bytes data = test::SeededBytes(7 * sector() + 5, 11);
  test::WriteFileBytes(name, data);
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(static_cast<uint32_t>(data.size()) + 100), 0);
  EXPECT_EQ(file.ReadToRing(ring, 0), 0);
  EXPECT_EQ(file.ReadToRing(ring, sector() + 1), -1) << "above capacity - one sector";
  ASSERT_EQ(file.ReadToRing(ring, 10), 0);
  EXPECT_EQ(ring.Count(), 10u);
  const auto rest = static_cast<uint32_t>(data.size() - 10);
  EXPECT_EQ(file.ReadToRingChunked(ring, rest + 50), rest) << "stops at the end";
  Bytes got(ring.Count());
  ASSERT_EQ(ring.Pop(got.data(), ring.Count()), 0);
  EXPECT_EQ(got, data);
}

TEST_P(SectorFileTest, SkipInReadModeCrossesMoreThanTheRing) {
  const std::string name = dir_.File("skip.bin");
  const Bytes data = test::SeededBytes(20 * sector(), 5);
  test::WriteFileBytes(name, data);
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  ASSERT_EQ(file.Skip(3), 0);
  ASSERT_EQ(file.Skip(10 * sector() + 7), 0);
  EXPECT_EQ(file.Tell(), 10 * sector() + 10);
  uint8_t byte = 0;
  ASSERT_EQ(file.Read(&byte, 1, 1), 1u);
  EXPECT_EQ(byte, data[10 * sector() + 10]);
  EXPECT_EQ(file.Skip(20 * sector()), 8);
}

// Closing a written file appends its last partial sector; failures there
// are reported, never silent.
TEST_P(SectorFileTest, TailAppendFailureIsReported) {
  const std::string name = dir_.File("gone.bin");
  CSectorFile file(4 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  const Bytes data = test::SeededBytes(sector() + 10, 2);
  ASSERT_EQ(file.Write(data.data(), 1, static_cast<uint32_t>(data.size())), data.size());
  std::filesystem::remove(name);  // the reopening for the append now fails
  EXPECT_EQ(file.Close(), -1);
  EXPECT_EQ(file.Status(), -2);
  EXPECT_TRUE(file.HasWriteError());
  EXPECT_FALSE(file.IsOpen());
}

TEST_P(SectorFileTest, RefusedWriteMarksTheFileFailed) {
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(dir_.File("big.bin").c_str(), "wb", 32), 0);
  std::vector<uint8_t> block(2 * sector());
  EXPECT_EQ(file.Write(block.data(), 1, static_cast<uint32_t>(block.size())), 0u);
  EXPECT_TRUE(file.HasWriteError());
  EXPECT_EQ(file.Close(), -1);
}

// Where the test folder's file system takes direct transfers (ext4 does),
// reading and writing through CSectorFile really bypass the page cache: a
// silent fallback to cached I/O must not pass unnoticed.
TEST(SectorFileDirectTest, DirectIoIsInEffectWhereTheFileSystemTakesIt) {
  test::TempDir dir;
  const std::string name = dir.File("direct.bin");
  {
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_DIRECT, 0644);
    void* page = std::aligned_alloc(4096, 4096);
    std::memset(page, 0, 4096);
    const bool takesDirect = fd >= 0 && ::write(fd, page, 4096) == 4096;
    std::free(page);
    if (fd >= 0) ::close(fd);
    if (!takesDirect) {
      GTEST_SKIP() << "the file system of " << dir.path() << " has no direct I/O";
    }
  }
  const Bytes data = test::SeededBytes(100000, 8);
  CSectorFile file(16384);
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  for (size_t done = 0; done < data.size(); done += 1000) {
    ASSERT_EQ(file.Write(data.data() + done, 1, 1000), 1000u);
  }
  EXPECT_TRUE(file.IsDirect());
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  Bytes got(data.size());
  EXPECT_EQ(file.ReadBlock(got.data(), static_cast<uint32_t>(got.size())), data.size());
  EXPECT_EQ(got, data);
  EXPECT_TRUE(file.IsDirect());
}

// A sparse file of `size` bytes with 16 seeded bytes at each mark.
std::string SparseFileWithMarks(const test::TempDir& dir, uint64_t size,
                                const std::vector<uint64_t>& marks) {
  const std::string name = dir.File("sparse.bin");
  {
    std::ofstream out(name, std::ios::binary);
    for (uint64_t mark : marks) {
      out.seekp(static_cast<std::streamoff>(mark));
      const Bytes bytes = test::SeededBytes(16, static_cast<uint32_t>(mark));
      out.write(reinterpret_cast<const char*>(bytes.data()), 16);
    }
  }
  std::filesystem::resize_file(name, size);
  return name;
}

// Each mark reached by SeekLarge, then its 16 bytes read back.
void ExpectMarksReadBack(CSectorFile& file, const std::vector<uint64_t>& marks) {
  for (uint64_t mark : marks) {
    SCOPED_TRACE(mark);
    ASSERT_EQ(file.SeekLarge(mark), 0);
    EXPECT_EQ(file.Tell(), static_cast<int64_t>(mark));
    Bytes got(16);
    ASSERT_EQ(file.Read(got.data(), 16, 1), 1u);
    EXPECT_EQ(got, test::SeededBytes(16, static_cast<uint32_t>(mark)));
  }
}

TEST(SectorFileLargeTest, SeekLargeReachesPositionsAbove2GiB) {
  test::TempDir dir;
  const uint64_t size = (uint64_t{1} << 32) - 1;
  const std::vector<uint64_t> marks = {0x7FFFFFF0, 0x80000000 + 12345, 0xC0000001, size - 17};
  CSectorFile file(512 * 1024);
  ASSERT_EQ(file.Open(SparseFileWithMarks(dir, size, marks).c_str(), "rb", 32), 0);
  EXPECT_EQ(file.GetSize(), size);
  ExpectMarksReadBack(file, marks);
  ASSERT_EQ(file.Seek(-16, 2), 0);
  Bytes tail(16);
  ASSERT_EQ(file.Read(tail.data(), 1, 20), 16u);
  EXPECT_EQ(Bytes(tail.begin() + 15, tail.end()), Bytes(1, 0)) << "last byte of the sparse end";
}

// A sparse file past 4 GiB: positions on both sides of the boundary, across
// it and at the end are reached with 64-bit seeks, from the start and from
// the end.
TEST(SectorFileLargeTest, FilesPast4GiBAreReadWith64BitPositions) {
  test::TempDir dir;
  const uint64_t size = (uint64_t{6} << 30) + 123;
  const std::vector<uint64_t> marks = {0, (uint64_t{1} << 32) - 8, (uint64_t{1} << 32) + 4096,
                                       size - 16};
  CSectorFile file(65536);
  ASSERT_EQ(file.Open(SparseFileWithMarks(dir, size, marks).c_str(), "rb", 32), 0);
  EXPECT_EQ(file.GetSize(), size);
  ExpectMarksReadBack(file, marks);
  ASSERT_EQ(file.Seek(-16, 2), 0);
  EXPECT_EQ(file.Tell(), static_cast<int64_t>(size - 16));
  EXPECT_EQ(file.SeekLarge(size + 1), 3);
}

}  // namespace
}  // namespace snipora
