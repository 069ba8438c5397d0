#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <random>
#include <vector>

#include "audiofile/sector_file.h"
#include "audiofile/wave_writer.h"
#include "platform/system/file_io.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

// Faults injected under CSectorFile through the file-call hooks.
struct Faults {
  std::vector<off_t> writeOffsets;  // file position at each write call
  bool interruptEveryOtherCall = false;
  size_t readBudget = SIZE_MAX;   // reads see the end of the file after this many bytes
  size_t writeBudget = SIZE_MAX;  // writes fail with ENOSPC after this many bytes
  bool refuseDirect = false;      // transfers on O_DIRECT descriptors fail with EINVAL
  int calls = 0;
};
Faults g_faults;

// A file system that accepts O_DIRECT at open but needs an alignment larger
// than it reports refuses every direct transfer.
bool RefusedAsDirect(int fd) {
  if (!g_faults.refuseDirect || (::fcntl(fd, F_GETFL) & O_DIRECT) == 0) return false;
  errno = EINVAL;
  return true;
}

ssize_t HookedRead(int fd, void* buffer, size_t count) {
  if (RefusedAsDirect(fd)) return -1;
  if (g_faults.interruptEveryOtherCall && ++g_faults.calls % 2 == 1) {
    errno = EINTR;
    return -1;
  }
  count = std::min(count, g_faults.readBudget);
  if (count == 0) return 0;
  const ssize_t got = ::read(fd, buffer, count);
  if (got > 0 && g_faults.readBudget != SIZE_MAX) g_faults.readBudget -= got;
  return got;
}

ssize_t HookedWrite(int fd, const void* buffer, size_t count) {
  g_faults.writeOffsets.push_back(::lseek(fd, 0, SEEK_CUR));
  if (RefusedAsDirect(fd)) return -1;
  if (g_faults.interruptEveryOtherCall && ++g_faults.calls % 2 == 1) {
    errno = EINTR;
    return -1;
  }
  if (g_faults.writeBudget == 0) {
    errno = ENOSPC;
    return -1;
  }
  count = std::min(count, g_faults.writeBudget);
  const ssize_t put = ::write(fd, buffer, count);
  if (put > 0 && g_faults.writeBudget != SIZE_MAX) g_faults.writeBudget -= put;
  return put;
}

class SectorFileFaultTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    g_faults = Faults{};
    fileio::SetFileCallHooks({HookedRead, HookedWrite});
  }
  void TearDown() override { fileio::ResetFileCallHooks(); }
  uint32_t sector() const { return GetParam(); }
  test::TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Sectors, SectorFileFaultTest, ::testing::Values(512u, 4096u));

TEST_P(SectorFileFaultTest, InterruptedCallsAreRetried) {
  g_faults.interruptEveryOtherCall = true;
  const std::string name = dir_.File("eintr.bin");
  const Bytes data = test::SeededBytes(5 * sector() + 77, 3);
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  for (size_t done = 0; done < data.size(); done += 100) {
    const auto n = static_cast<uint32_t>(std::min<size_t>(100, data.size() - done));
    ASSERT_EQ(file.Write(data.data() + done, 1, n), n);
  }
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  Bytes got(data.size());
  EXPECT_EQ(file.ReadBlock(got.data(), static_cast<uint32_t>(got.size())), data.size());
  EXPECT_EQ(got, data);
  EXPECT_GT(g_faults.calls, 4);
}

TEST_P(SectorFileFaultTest, DirectTransfersRefusedFallBackToTheCache) {
  g_faults.refuseDirect = true;
  const std::string name = dir_.File("refused.bin");
  const Bytes data = test::SeededBytes(4 * sector() + 33, 6);
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  for (size_t done = 0; done < data.size(); done += sector()) {
    const auto n = static_cast<uint32_t>(std::min<size_t>(sector(), data.size() - done));
    ASSERT_EQ(file.Write(data.data() + done, 1, n), n);
  }
  EXPECT_FALSE(file.IsDirect());
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(test::ReadFileBytes(name), data);

  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  Bytes got(data.size());
  EXPECT_EQ(file.ReadBlock(got.data(), static_cast<uint32_t>(got.size())), data.size());
  EXPECT_EQ(got, data);
  EXPECT_FALSE(file.IsDirect());
}

TEST_P(SectorFileFaultTest, ShortReadEndsTheFile) {
  const std::string name = dir_.File("short.bin");
  const Bytes data = test::SeededBytes(6 * sector(), 4);
  test::WriteFileBytes(name, data);
  CSectorFile file(8 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "rb", 32), 0);
  g_faults.readBudget = 2 * sector();  // whole sectors: direct reads need them
  Bytes got(3 * sector());
  EXPECT_EQ(file.Read(got.data(), sector(), 3), 2u) << "two whole items before the short read";
  EXPECT_EQ(file.Status(), 8);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 2 * sector(), got.begin()));
}

TEST_P(SectorFileFaultTest, FullDiskWhileFlushingIsAWriteError) {
  const std::string name = dir_.File("full.bin");
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  g_faults.writeBudget = sector();  // the second sector does not fit
  const Bytes data = test::SeededBytes(sector(), 5);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(file.Write(data.data(), 1, sector()), sector());
  EXPECT_TRUE(file.HasWriteError());
  EXPECT_EQ(file.Close(), -1);
  EXPECT_TRUE(file.HasWriteError()) << "still visible after Close";
}

TEST_P(SectorFileFaultTest, FullDiskForTheLastPartialSector) {
  const std::string name = dir_.File("tail.bin");
  CSectorFile file(4 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  SoundFormatInfo format;
  format.formatBlock.formatTag = 1;
  format.formatBlock.blockAlign = 2;
  WriteWaveHeader(file, format, 0);
  g_faults.writeBudget = 10;  // the 46-byte tail cannot be appended
  EXPECT_FALSE(file.HasWriteError());
  EXPECT_EQ(file.Close(), -1);
  EXPECT_TRUE(file.HasWriteError());
}

TEST_P(SectorFileFaultTest, WriteErrorIsClearedByTheNextOpen) {
  const std::string name = dir_.File("again.bin");
  CSectorFile file(2 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  g_faults.writeBudget = 0;
  const Bytes data = test::SeededBytes(2 * sector(), 6);
  file.Write(data.data(), 1, sector());
  file.Write(data.data(), 1, sector());
  EXPECT_EQ(file.Close(), -1);
  g_faults.writeBudget = SIZE_MAX;
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  EXPECT_FALSE(file.HasWriteError());
  ASSERT_EQ(file.Write(data.data(), 1, 10), 10u);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(test::ReadFileBytes(name), Bytes(data.begin(), data.begin() + 10));
}

// Appended data behind an odd-sized header reaches the disk in writes that
// start on file-system blocks (the fast path of direct I/O), except the
// last partial sector, which is appended at Close.
TEST_P(SectorFileFaultTest, AppendingWritesStartOnBlockBoundaries) {
  const std::string name = dir_.File("blocks.bin");
  struct stat info {};
  ASSERT_EQ(::stat(dir_.path().c_str(), &info), 0);
  const auto block = std::max<uint32_t>(sector(), static_cast<uint32_t>(info.st_blksize));
  CSectorFile file(64 * sector(), sector());
  ASSERT_EQ(file.Open(name.c_str(), "wb", 32), 0);
  Bytes data = test::SeededBytes(46, 1);
  ASSERT_EQ(file.Write(data.data(), 1, 46), 46u);
  std::mt19937 random(7);
  while (data.size() < 300 * sector()) {
    const Bytes piece = test::SeededBytes(1 + random() % (8 * sector()), random());
    ASSERT_EQ(file.Write(piece.data(), 1, static_cast<uint32_t>(piece.size())), piece.size());
    data.insert(data.end(), piece.begin(), piece.end());
  }
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(test::ReadFileBytes(name), data);
  ASSERT_GT(g_faults.writeOffsets.size(), 4u);
  for (size_t i = 0; i + 1 < g_faults.writeOffsets.size(); ++i) {
    EXPECT_EQ(g_faults.writeOffsets[i] % block, 0) << "write " << i;
  }
}

}  // namespace
}  // namespace snipora
