#include "audiofile/ring_buffer.h"

#include <gtest/gtest.h>

#include <sys/uio.h>
#include <unistd.h>

#include <deque>
#include <functional>
#include <random>
#include <vector>

#include "platform/system/file_io.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

std::vector<uint8_t> Contents(const CRingBuffer& ring) {
  std::vector<uint8_t> bytes(ring.Count());
  if (!bytes.empty()) {
    EXPECT_EQ(ring.Peek(bytes.data(), ring.Count()), 0);
  }
  return bytes;
}

TEST(RingBufferTest, OperationsWithoutStorageAreRefused) {
  CRingBuffer ring;
  uint8_t byte = 0;
  uint8_t* first = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(ring.Release(), 2);
  EXPECT_EQ(ring.Clear(), 3);
  EXPECT_EQ(ring.Push(&byte, 1), 3);
  EXPECT_EQ(ring.Pop(&byte, 1), 3);
  EXPECT_EQ(ring.PeekAt(0, &byte, 1), 3);
  EXPECT_EQ(ring.WriteAt(0, &byte, 1), 3);
  EXPECT_EQ(ring.GetByte(1), -1);
  EXPECT_EQ(ring.PutByteAt(0, 1), 3);
  EXPECT_EQ(ring.Skip(0), 3);
  EXPECT_EQ(ring.Unpush(0), 3);
  EXPECT_EQ(ring.Lock(0, 1, &first, &length, nullptr, nullptr), 3);
  EXPECT_EQ(ring.ReadFromFile(0, -1), 3);
  EXPECT_EQ(ring.WriteToFile(0, -1), 3);
}

TEST(RingBufferTest, AllocationKindsAndRefusals) {
  for (bool pages : {false, true}) {
    SCOPED_TRACE(pages ? "pages" : "heap");
    CRingBuffer ring;
    ASSERT_EQ(pages ? ring.AllocatePages(1000) : ring.Allocate(1000), 0);
    EXPECT_EQ(ring.Capacity(), 1000u);
    EXPECT_EQ(ring.Allocate(10), 2);
    EXPECT_EQ(ring.AllocatePages(10), 2);
    // Storage is page-aligned either way, so it can take part in direct I/O.
    uint8_t* first = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(ring.Lock(0, 1, &first, &length, nullptr, nullptr), 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 4096, 0u);
    EXPECT_EQ(ring.Release(), 0);
    EXPECT_EQ(ring.Capacity(), 0u);
    EXPECT_EQ(ring.Count(), 0u);
  }
}

// One row per refusal: the code and that nothing changed.
TEST(RingBufferTest, BoundaryResultCodes) {
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(8), 0);
  const Bytes five = {1, 2, 3, 4, 5};
  ASSERT_EQ(ring.Push(five.data(), 5), 0);
  uint8_t out[16];
  uint8_t* first = nullptr;
  uint8_t* second = nullptr;
  uint32_t firstLength = 0;
  uint32_t secondLength = 0;
  struct Row {
    const char* name;
    int result;
    int expected;
  } rows[] = {
      {"push beyond free space", ring.Push(out, 4), 4},
      {"pop more than held", ring.Pop(out, 6), 4},
      {"peek more than held", ring.Peek(out, 6), 4},
      {"peekat past count", ring.PeekAt(3, out, 3), 4},
      {"writeat offset past count", ring.WriteAt(6, out, 1), 5},
      {"writeat past capacity", ring.WriteAt(5, out, 4), 4},
      {"putbyteat past count", ring.PutByteAt(6, 0), 5},
      {"skip more than held", ring.Skip(6), 4},
      {"unpush more than held", ring.Unpush(6), 4},
      {"lock past capacity", ring.Lock(4, 5, &first, &firstLength, &second, &secondLength), 4},
      {"lock offset past count", ring.Lock(6, 1, &first, &firstLength, &second, &secondLength), 5},
      {"read from file beyond free", ring.ReadFromFile(4, -1), 4},
      {"write to file beyond count", ring.WriteToFile(6, -1), 4},
  };
  for (const Row& row : rows) EXPECT_EQ(row.result, row.expected) << row.name;
  EXPECT_EQ(Contents(ring), five);

  ASSERT_EQ(ring.Push(out, 3), 0);
  EXPECT_EQ(ring.PutByte(9), 4) << "full ring";
  EXPECT_EQ(ring.PutByteAt(8, 9), 4) << "appending to a full ring";
  ring.Clear();
  EXPECT_EQ(ring.GetByte(1), -1) << "empty ring";
}

TEST(RingBufferTest, ByteOperations) {
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(4), 0);
  ASSERT_EQ(ring.PutByte(0xAA), 0);
  ASSERT_EQ(ring.PutByteAt(-1, 0xBB), 0);
  ASSERT_EQ(ring.PutByteAt(2, 0xCC), 0);  // offset == count appends
  ASSERT_EQ(ring.PutByteAt(0, 0x11), 0);  // overwrite in place
  EXPECT_EQ(ring.Count(), 3u);
  EXPECT_EQ(ring.GetByte(0), 0x11);
  EXPECT_EQ(ring.Count(), 3u);
  EXPECT_EQ(ring.GetByte(1), 0x11);
  ring.UnpushByte();
  EXPECT_EQ(Contents(ring), (Bytes{0xBB}));
}

// Random operation sequences against a std::deque model; small odd capacities
// make every operation cross the wrap point many times.
TEST(RingBufferTest, MatchesModelUnderRandomOperations) {
  for (uint32_t capacity : {1u, 7u, 64u, 1000u}) {
    SCOPED_TRACE(capacity);
    CRingBuffer ring;
    ASSERT_EQ(ring.Allocate(capacity), 0);
    std::deque<uint8_t> model;
    std::mt19937 random(capacity);
    uint8_t next = 0;
    for (int step = 0; step < 4000; ++step) {
      const uint32_t n = random() % (capacity + 2);
      std::vector<uint8_t> buffer(capacity + 2);
      for (auto& b : buffer) b = next++;
      switch (random() % 7) {
        case 0: {
          const bool fits = n <= capacity - model.size();
          ASSERT_EQ(ring.Push(buffer.data(), n), fits ? 0 : 4);
          if (fits) model.insert(model.end(), buffer.begin(), buffer.begin() + n);
          break;
        }
        case 1: {
          const bool enough = n <= model.size();
          ASSERT_EQ(ring.Pop(buffer.data(), n), enough ? 0 : 4);
          if (enough) {
            ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + n, model.begin()));
            model.erase(model.begin(), model.begin() + n);
          }
          break;
        }
        case 2: {
          const uint32_t offset = model.empty() ? 0 : random() % (model.size() + 1);
          const bool ok = offset + n <= capacity;
          ASSERT_EQ(ring.WriteAt(static_cast<int32_t>(offset), buffer.data(), n), ok ? 0 : 4);
          if (ok) {
            if (offset + n > model.size()) model.resize(offset + n);
            std::copy(buffer.begin(), buffer.begin() + n, model.begin() + offset);
          }
          break;
        }
        case 3: {
          const bool enough = n <= model.size();
          ASSERT_EQ(ring.Unpush(n), enough ? 0 : 4);
          if (enough) model.resize(model.size() - n);
          break;
        }
        case 4: {
          if (model.empty()) break;
          const uint32_t offset = random() % model.size();
          const uint32_t length = random() % (model.size() - offset + 1);
          ASSERT_EQ(ring.PeekAt(offset, buffer.data(), length), 0);
          ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + length, model.begin() + offset));
          break;
        }
        case 5: {
          // Lock a region from the current end and fill it in place.
          const uint32_t offset = static_cast<uint32_t>(model.size());
          const uint32_t length = std::min<uint32_t>(n, capacity - offset);
          uint8_t* first = nullptr;
          uint8_t* second = nullptr;
          uint32_t firstLength = 0;
          uint32_t secondLength = 0;
          ASSERT_EQ(ring.Lock(offset, length, &first, &firstLength, &second, &secondLength), 0);
          ASSERT_EQ(firstLength + secondLength, length);
          std::copy(buffer.begin(), buffer.begin() + firstLength, first);
          std::copy(buffer.begin() + firstLength, buffer.begin() + length, second);
          model.insert(model.end(), buffer.begin(), buffer.begin() + length);
          break;
        }
        case 6: {
          const bool enough = n <= model.size();
          ASSERT_EQ(ring.Skip(n), enough ? 0 : 4);
          if (enough) model.erase(model.begin(), model.begin() + n);
          break;
        }
      }
      ASSERT_EQ(ring.Count(), model.size());
      ASSERT_EQ(ring.FreeSpace(), capacity - model.size());
    }
    EXPECT_EQ(Contents(ring), std::vector<uint8_t>(model.begin(), model.end()));
  }
}

TEST(RingBufferTest, LockReportsTheWrappedSpan) {
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(10), 0);
  const Bytes eight(8, 1);
  ASSERT_EQ(ring.Push(eight.data(), 8), 0);
  ASSERT_EQ(ring.Skip(6), 0);  // head at 6, count 2
  uint8_t* first = nullptr;
  uint8_t* second = reinterpret_cast<uint8_t*>(1);
  uint32_t firstLength = 0;
  uint32_t secondLength = 99;
  ASSERT_EQ(ring.Lock(0, 3, &first, &firstLength, &second, &secondLength), 0);
  EXPECT_EQ(firstLength, 3u);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(secondLength, 0u);
  EXPECT_EQ(ring.Count(), 3u) << "the locked region extends the count";
  EXPECT_EQ(ring.Lock(0, 6, &first, &firstLength, nullptr, nullptr), 4)
      << "wrapping region without a second span";
  ASSERT_EQ(ring.Lock(0, 6, &first, &firstLength, &second, &secondLength), 0);
  EXPECT_EQ(firstLength, 4u);
  EXPECT_EQ(secondLength, 2u);
  EXPECT_EQ(ring.Count(), 6u);
}

TEST(RingBufferTest, TransferMovesOrCopies) {
  CRingBuffer source;
  CRingBuffer target;
  ASSERT_EQ(source.Allocate(16), 0);
  ASSERT_EQ(target.Allocate(6), 0);
  const Bytes data = test::SeededBytes(12, 3);
  ASSERT_EQ(source.Push(data.data(), 12), 0);
  ASSERT_EQ(source.Skip(10), 0);  // make the source wrap on the next push
  ASSERT_EQ(source.Push(data.data(), 10), 0);
  EXPECT_EQ(target.Transfer(source, 7), 4) << "no room in the target";
  EXPECT_EQ(target.Transfer(source, 5, 2), 0);
  EXPECT_EQ(source.Count(), 12u) << "mode 2 keeps the source";
  EXPECT_EQ(target.Transfer(source, 1), 0);
  EXPECT_EQ(source.Count(), 11u);
  const Bytes expected = {data[10], data[11], data[0], data[1], data[2], data[10]};
  EXPECT_EQ(Contents(target), expected);
  CRingBuffer small;
  ASSERT_EQ(small.Allocate(64), 0);
  EXPECT_EQ(small.Transfer(source, 12), 5) << "source holds fewer";
}

TEST(RingBufferTest, SwapExchangesEverything) {
  CRingBuffer a;
  CRingBuffer b;
  ASSERT_EQ(a.Allocate(4), 0);
  ASSERT_EQ(b.AllocatePages(100), 0);
  ASSERT_EQ(a.PutByte(7), 0);
  a.Swap(b);
  EXPECT_EQ(a.Capacity(), 100u);
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(b.Capacity(), 4u);
  EXPECT_EQ(b.GetByte(1), 7);
  // Each releases the storage the way it was obtained (checked by ASan).
}

TEST(RingBufferTest, FileTransfersWrapAndReportShortReads) {
  test::TempDir dir;
  const std::string path = dir.File("ring.bin");
  const Bytes data = test::SeededBytes(40, 9);
  test::WriteFileBytes(path, data);
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(32), 0);
  const Bytes filler(20, 0);
  ASSERT_EQ(ring.Push(filler.data(), 20), 0);
  ASSERT_EQ(ring.Skip(18), 0);  // tail at 20: reads wrap after 12 bytes

  const int in = fileio::OpenFile(path.c_str(), fileio::OpenAccess::Read, false).fd;
  ASSERT_GE(in, 0);
  ASSERT_EQ(ring.ReadFromFile(30, in), 0);
  ASSERT_EQ(ring.Skip(2), 0);
  EXPECT_EQ(Contents(ring), Bytes(data.begin(), data.begin() + 30));
  ASSERT_EQ(ring.Skip(28), 0);
  EXPECT_EQ(ring.ReadFromFile(20, in), 6) << "only 10 bytes are left in the file";
  EXPECT_EQ(ring.Count(), 12u) << "the bytes that arrived are kept";
  fileio::CloseFile(in);

  const std::string outPath = dir.File("out.bin");
  const int out = fileio::OpenFile(outPath.c_str(), fileio::OpenAccess::CreateReadWrite, false).fd;
  ASSERT_GE(out, 0);
  ASSERT_EQ(ring.WriteToFile(12, out), 0);
  fileio::CloseFile(out);
  EXPECT_EQ(test::ReadFileBytes(outPath), Bytes(data.begin() + 28, data.end()));
  EXPECT_EQ(ring.Count(), 0u);
}

// Every way of emptying a ring starts it again at index 0: a region of the
// whole capacity is then one span (one disk request), not two.
TEST(RingBufferTest, EmptiedRingStartsAtIndexZero) {
  test::TempDir dir;
  const int out =
      fileio::OpenFile(dir.File("sink.bin").c_str(), fileio::OpenAccess::CreateReadWrite, false).fd;
  ASSERT_GE(out, 0);
  CRingBuffer sink;
  ASSERT_EQ(sink.Allocate(16), 0);
  uint8_t scratch[16];
  const struct {
    const char* name;
    std::function<int(CRingBuffer&)> empty;
  } ways[] = {
      {"Skip", [](CRingBuffer& r) { return r.Skip(3); }},
      {"Pop", [&](CRingBuffer& r) { return r.Pop(scratch, 3); }},
      {"Unpush", [](CRingBuffer& r) { return r.Unpush(3); }},
      {"Transfer", [&](CRingBuffer& r) { return sink.Clear() + sink.Transfer(r, 3); }},
      {"WriteToFile", [&](CRingBuffer& r) { return r.WriteToFile(3, out); }},
      {"GetByte",
       [](CRingBuffer& r) { return r.GetByte(1) + r.GetByte(1) + r.GetByte(1) == 3 * 5 ? 0 : 1; }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    CRingBuffer ring;
    ASSERT_EQ(ring.Allocate(10), 0);
    const Bytes seven(7, 5);
    ASSERT_EQ(ring.Push(seven.data(), 7), 0);
    ASSERT_EQ(ring.Skip(4), 0);  // head 4, tail 7
    ASSERT_EQ(way.empty(ring), 0);
    ASSERT_EQ(ring.Count(), 0u);
    uint8_t* first = nullptr;
    uint8_t* second = nullptr;
    uint32_t firstLength = 0;
    uint32_t secondLength = 0;
    ASSERT_EQ(ring.Lock(0, 10, &first, &firstLength, &second, &secondLength), 0);
    EXPECT_EQ(firstLength, 10u);
    EXPECT_EQ(second, nullptr);
  }
  fileio::CloseFile(out);
}

// Vectored calls seen by the hooks: how many, and how many spans the first had.
struct SpanCalls {
  int calls = 0;
  int firstSpans = 0;
};
SpanCalls g_spanCalls;

ssize_t CountedReadSpans(int fd, const fileio::IoSpan* spans, int count) {
  if (++g_spanCalls.calls == 1) g_spanCalls.firstSpans = count;
  // Half the first span only: the rest must be asked for again.
  return ::read(fd, spans[0].data, (spans[0].size + 1) / 2);
}

ssize_t CountedWriteSpans(int fd, const fileio::IoSpan* spans, int count) {
  if (++g_spanCalls.calls == 1) g_spanCalls.firstSpans = count;
  iovec vectors[fileio::kMaxIoSpans];
  for (int i = 0; i < count; ++i) vectors[i] = {spans[i].data, spans[i].size};
  return ::writev(fd, vectors, count);
}

TEST(RingBufferTest, AWrappedRegionIsOneVectoredRequest) {
  test::TempDir dir;
  const std::string path = dir.File("in.bin");
  const Bytes data = test::SeededBytes(24, 4);
  test::WriteFileBytes(path, data);
  CRingBuffer ring;
  ASSERT_EQ(ring.Allocate(32), 0);
  const Bytes filler(20, 0);
  ASSERT_EQ(ring.Push(filler.data(), 20), 0);
  ASSERT_EQ(ring.Skip(16), 0);  // head 16, tail 20: 12 bytes to the end, then 12 wrapped

  g_spanCalls = SpanCalls{};
  fileio::SetFileCallHooks({nullptr, nullptr, CountedReadSpans, CountedWriteSpans});
  const int in = fileio::OpenFile(path.c_str(), fileio::OpenAccess::Read, false).fd;
  EXPECT_EQ(ring.ReadFromFile(24, in), 0);
  EXPECT_EQ(g_spanCalls.firstSpans, 2) << "one request for both pieces";
  EXPECT_GT(g_spanCalls.calls, 2) << "partial transfers are continued";
  fileio::CloseFile(in);
  ASSERT_EQ(ring.Skip(4), 0);
  EXPECT_EQ(Contents(ring), data);

  const std::string outPath = dir.File("out.bin");
  const int out = fileio::OpenFile(outPath.c_str(), fileio::OpenAccess::CreateReadWrite, false).fd;
  g_spanCalls = SpanCalls{};
  EXPECT_EQ(ring.WriteToFile(24, out), 0);
  EXPECT_EQ(g_spanCalls.calls, 1);
  EXPECT_EQ(g_spanCalls.firstSpans, 2);
  fileio::CloseFile(out);
  fileio::ResetFileCallHooks();
  EXPECT_EQ(test::ReadFileBytes(outPath), data);
}

}  // namespace
}  // namespace snipora
