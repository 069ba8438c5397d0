#include "platform/system/file_io.h"

#include <gtest/gtest.h>

#include <sys/uio.h>
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

// The spans of one vectored call cut to at most g_faults.maxBytes bytes.
int CappedVectors(const IoSpan* spans, int count, iovec* vectors) {
  size_t budget = g_faults.maxBytes != 0 ? g_faults.maxBytes : SIZE_MAX;
  int used = 0;
  for (int i = 0; i < count && budget != 0; ++i, ++used) {
    vectors[i] = {spans[i].data, std::min(spans[i].size, budget)};
    budget -= vectors[i].iov_len;
  }
  return used;
}

bool FailThisCall() {
  ++g_faults.calls;
  if (g_faults.failures == 0) return false;
  --g_faults.failures;
  errno = g_faults.error;
  return true;
}

ssize_t FaultyReadSpans(int fd, const IoSpan* spans, int count) {
  if (FailThisCall()) return -1;
  iovec vectors[kMaxIoSpans];
  return ::readv(fd, vectors, CappedVectors(spans, count, vectors));
}

ssize_t FaultyWriteSpans(int fd, const IoSpan* spans, int count) {
  if (FailThisCall()) return -1;
  iovec vectors[kMaxIoSpans];
  return ::writev(fd, vectors, CappedVectors(spans, count, vectors));
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

// Three spans (one empty) filled and emptied in order whatever size each
// system call moves: a cap inside the first span, at its end, across into
// the last one, with interrupted calls in between.
TEST_F(FileIoTest, SpansSurviveInterruptsAndPartialTransfers) {
  SetFileCallHooks({nullptr, nullptr, FaultyReadSpans, FaultyWriteSpans});
  const Bytes data = test::SeededBytes(1000, 3);
  for (const size_t cap : {0, 1, 299, 600, 700, 999}) {
    SCOPED_TRACE(cap);
    const std::string path = dir_.File("spans-" + std::to_string(cap) + ".bin");
    const OpenedFile file = OpenFile(path.c_str(), OpenAccess::CreateReadWrite, false);
    ASSERT_GE(file.fd, 0);
    g_faults = Faults{.failures = 2, .error = EINTR, .maxBytes = cap};
    Bytes out = data;
    const IoSpan outSpans[] = {{out.data(), 600}, {out.data() + 600, 0}, {out.data() + 600, 400}};
    EXPECT_EQ(WriteFullSpans(file.fd, outSpans, 3), 1000);
    EXPECT_EQ(test::ReadFileBytes(path), data);

    ASSERT_EQ(SeekTo(file.fd, 100), 100);
    g_faults.failures = 1;
    Bytes in(1000, 0);
    const IoSpan inSpans[] = {{in.data() + 500, 500}, {in.data(), 0}, {in.data(), 500}};
    EXPECT_EQ(ReadFullSpans(file.fd, inSpans, 3), 900) << "a short read at the end";
    EXPECT_TRUE(std::equal(data.begin() + 100, data.begin() + 600, in.begin() + 500));
    EXPECT_TRUE(std::equal(data.begin() + 600, data.end(), in.begin()));
    EXPECT_EQ(CloseFile(file.fd), 0);
  }
}

TEST_F(FileIoTest, SpanFailures) {
  const std::string path = dir_.File("spans.bin");
  const OpenedFile file = OpenFile(path.c_str(), OpenAccess::CreateReadWrite, false);
  ASSERT_GE(file.fd, 0);
  Bytes bytes(100, 7);
  const IoSpan spans[] = {{bytes.data(), 60}, {bytes.data() + 60, 40}};
  // The plain write hook sees the first span only: the disk fills in the second.
  g_faults.bytesBeforeFull = 70;
  EXPECT_EQ(WriteFullSpans(file.fd, spans, 2), 70);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_GE(g_faults.calls, 2);
  ASSERT_EQ(SeekTo(file.fd, 0), 0);
  g_faults.failures = 1;
  g_faults.error = EIO;
  EXPECT_EQ(ReadFullSpans(file.fd, spans, 2), -1);
  EXPECT_EQ(errno, EIO);
  const IoSpan tooMany[kMaxIoSpans + 1] = {};
  EXPECT_EQ(ReadFullSpans(file.fd, tooMany, kMaxIoSpans + 1), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(CloseFile(file.fd), 0);
}

TEST_F(FileIoTest, DirectIoAlignmentOfAFileAboutToBeCreated) {
  const uint32_t folder = DirectIoAlignmentOfPath(dir_.path().c_str());
  EXPECT_EQ(DirectIoAlignmentOfPath(dir_.File("not-yet.wav").c_str()), folder);
  EXPECT_EQ(folder & (folder - 1), 0u) << "a power of two or 0";
}

}  // namespace
}  // namespace snipora::fileio
