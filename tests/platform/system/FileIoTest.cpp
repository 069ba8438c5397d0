#include "platform/system/file_io.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <filesystem>

#include "platform/system/page_memory.h"
#include "tests/support/test_support.h"

namespace snipora::fileio {
namespace {

using test::Bytes;

// Scripted faults for the hooked calls: how many calls fail with which errno,
// and a cap on the bytes each call moves.
struct Faults {
  int failures = 0;
  int error = 0;
  size_t maxBytes = 0;                // 0 = no cap
  size_t bytesBeforeFull = SIZE_MAX;  // writes fail with ENOSPC after this many bytes
  int calls = 0;
};
Faults g_faults;

ssize_t FaultyRead(int fd, void* buffer, size_t count) {
  ++g_faults.calls;
  if (g_faults.failures > 0) {
    --g_faults.failures;
    errno = g_faults.error;
    return -1;
  }
  if (g_faults.maxBytes != 0 && count > g_faults.maxBytes) count = g_faults.maxBytes;
  return ::read(fd, buffer, count);
}

ssize_t FaultyWrite(int fd, const void* buffer, size_t count) {
  ++g_faults.calls;
  if (g_faults.failures > 0) {
    --g_faults.failures;
    errno = g_faults.error;
    return -1;
  }
  if (g_faults.bytesBeforeFull == 0) {
    errno = ENOSPC;
    return -1;
  }
  count = std::min(count, g_faults.bytesBeforeFull);
  if (g_faults.maxBytes != 0 && count > g_faults.maxBytes) count = g_faults.maxBytes;
  const ssize_t written = ::write(fd, buffer, count);
  if (written > 0 && g_faults.bytesBeforeFull != SIZE_MAX) g_faults.bytesBeforeFull -= written;
  return written;
}

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_faults = Faults{};
    SetFileCallHooks({FaultyRead, FaultyWrite});
  }
  void TearDown() override { ResetFileCallHooks(); }
  test::TempDir dir_;
};

TEST_F(FileIoTest, ReadRetriesInterruptsAndJoinsPartialTransfers) {
  const std::string path = dir_.File("in.bin");
  const Bytes data = test::SeededBytes(1000, 1);
  test::WriteFileBytes(path, data);
  const OpenedFile file = OpenFile(path.c_str(), OpenAccess::Read, false);
  ASSERT_GE(file.fd, 0);
  g_faults.failures = 2;
  g_faults.error = EINTR;
  g_faults.maxBytes = 300;
  Bytes got(1200);
  EXPECT_EQ(ReadFull(file.fd, got.data(), 1200), 1000) << "a short read at the end";
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 1000), data);
  EXPECT_EQ(ReadFull(file.fd, got.data(), 10), 0);

  g_faults.failures = 1;
  g_faults.error = EIO;
  ASSERT_EQ(SeekTo(file.fd, 0), 0);
  EXPECT_EQ(ReadFull(file.fd, got.data(), 10), -1);
  EXPECT_EQ(errno, EIO) << "errno is kept";
  EXPECT_EQ(CloseFile(file.fd), 0);
}

TEST_F(FileIoTest, WriteReportsAFullDisk) {
  const std::string path = dir_.File("out.bin");
  const OpenedFile file = OpenFile(path.c_str(), OpenAccess::CreateReadWrite, false);
  ASSERT_GE(file.fd, 0);
  const Bytes data = test::SeededBytes(1000, 2);
  g_faults.failures = 1;
  g_faults.error = EINTR;
  g_faults.maxBytes = 128;
  EXPECT_EQ(WriteFull(file.fd, data.data(), 1000), 1000);
  g_faults.bytesBeforeFull = 100;
  EXPECT_EQ(WriteFull(file.fd, data.data(), 1000), 100);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(WriteFull(file.fd, data.data(), 10), -1);
  EXPECT_EQ(FileSize(file.fd), 1100);
  EXPECT_EQ(TruncateFile(file.fd, 4), 0);
  EXPECT_EQ(FileSize(file.fd), 4);
  EXPECT_EQ(CloseFile(file.fd), 0);
}

TEST_F(FileIoTest, OpenModes) {
  const std::string path = dir_.File("modes.bin");
  EXPECT_LT(OpenFile(path.c_str(), OpenAccess::Read, true).fd, 0);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_LT(OpenFile(path.c_str(), OpenAccess::Append, false).fd, 0) << "append never creates";
  test::WriteFileBytes(path, Bytes{1, 2});
  const OpenedFile appender = OpenFile(path.c_str(), OpenAccess::Append, false);
  ASSERT_GE(appender.fd, 0);
  const uint8_t three = 3;
  EXPECT_EQ(WriteFull(appender.fd, &three, 1), 1);
  CloseFile(appender.fd);
  EXPECT_EQ(test::ReadFileBytes(path), (Bytes{1, 2, 3}));
}

// Direct I/O where the file system allows it, plain I/O otherwise: both give
// a working descriptor, on the disk and on tmpfs.
TEST_F(FileIoTest, DirectOpenWorksOrFallsBack) {
  ResetFileCallHooks();
  std::vector<std::string> folders = {dir_.path().string()};
  if (std::filesystem::is_directory("/dev/shm")) folders.push_back("/dev/shm");
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    const std::string path = folder + "/snipora-direct-" + std::to_string(::getpid());
    const OpenedFile file = OpenFile(path.c_str(), OpenAccess::CreateReadWrite, true);
    ASSERT_GE(file.fd, 0);
    const uint32_t alignment = DirectIoAlignment(file.fd);
    const size_t size = std::max<size_t>(alignment, 512) * 2;
    auto* pages = static_cast<uint8_t*>(pagememory::AllocatePages(size));
    ASSERT_NE(pages, nullptr);
    for (size_t i = 0; i < size; ++i) pages[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(WriteFull(file.fd, pages, size), static_cast<ssize_t>(size)) << file.direct;
    ASSERT_EQ(SeekTo(file.fd, 0), 0);
    std::fill(pages, pages + size, 0);
    EXPECT_EQ(ReadFull(file.fd, pages, size), static_cast<ssize_t>(size));
    EXPECT_EQ(pages[size - 1], static_cast<uint8_t>((size - 1) * 7));
    pagememory::FreePages(pages, size);
    CloseFile(file.fd);
    ::unlink(path.c_str());
  }
}

TEST_F(FileIoTest, DirectIoAlignmentOfAFileAboutToBeCreated) {
  const uint32_t folder = DirectIoAlignmentOfPath(dir_.path().c_str());
  EXPECT_EQ(DirectIoAlignmentOfPath(dir_.File("not-yet.wav").c_str()), folder);
  EXPECT_EQ(folder & (folder - 1), 0u) << "a power of two or 0";
}

}  // namespace
}  // namespace snipora::fileio
