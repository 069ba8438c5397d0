#include "audiofile/ring_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/system/file_io.h"
#include "platform/system/page_memory.h"

namespace snipora {
namespace {

// Heap storage is page-aligned too, so a ring of either kind can take part
// in direct I/O.
constexpr std::align_val_t kHeapAlignment{4096};

}  // namespace

CRingBuffer::~CRingBuffer() {
  Release();
}

int CRingBuffer::AdoptStorage(uint8_t* storage, uint32_t n, bool pages) {
  if (storage == nullptr) return 1;
  storage_ = storage;
  pageFlag_ = pages ? 1 : 0;
  capacity_ = n;
  head_ = tail_ = count_ = 0;
  return 0;
}

int CRingBuffer::Allocate(uint32_t n) {
  if (storage_ != nullptr) return 2;
  if (n == 0) return 1;
  auto* storage = static_cast<uint8_t*>(::operator new[](n, kHeapAlignment, std::nothrow));
  return AdoptStorage(storage, n, false);
}

int CRingBuffer::AllocatePages(uint32_t n) {
  if (storage_ != nullptr) return 2;
  return AdoptStorage(static_cast<uint8_t*>(pagememory::AllocatePages(n)), n, true);
}

int CRingBuffer::Release() {
  if (storage_ == nullptr) return 2;
  if (pageFlag_ != 0) {
    pagememory::FreePages(storage_, capacity_);
  } else {
    ::operator delete[](storage_, kHeapAlignment);
  }
  storage_ = nullptr;
  pageFlag_ = 0;
  head_ = tail_ = capacity_ = count_ = 0;
  return 0;
}

int CRingBuffer::Clear() {
  if (storage_ == nullptr) return 3;
  head_ = tail_ = count_ = 0;
  return 0;
}

uint32_t CRingBuffer::IndexAfterHead(uint32_t offset) const {
  // 64-bit sum: head + offset may exceed 32 bits for rings near 4 GiB.
  return static_cast<uint32_t>((uint64_t{head_} + offset) % capacity_);
}

void CRingBuffer::CopyIn(uint32_t index, const uint8_t* src, uint32_t n) {
  const uint32_t first = std::min(n, capacity_ - index);
  std::memcpy(storage_ + index, src, first);
  std::memcpy(storage_, src + first, n - first);
}

void CRingBuffer::CopyOut(uint32_t index, uint8_t* dst, uint32_t n) const {
  const uint32_t first = std::min(n, capacity_ - index);
  std::memcpy(dst, storage_ + index, first);
  std::memcpy(dst + first, storage_, n - first);
}

int CRingBuffer::Push(const void* src, uint32_t n) {
  if (storage_ == nullptr) return 3;
  if (n > FreeSpace()) return 4;
  if (n == 0) return 0;
  CopyIn(tail_, static_cast<const uint8_t*>(src), n);
  tail_ = static_cast<uint32_t>((uint64_t{tail_} + n) % capacity_);
  count_ += n;
  return 0;
}

int CRingBuffer::Pop(void* dst, uint32_t n, int mode) {
  const int result = Peek(dst, n);
  if (result != 0 || mode == 2) return result;
  return Skip(n);
}

int CRingBuffer::Peek(void* dst, uint32_t n) const {
  return PeekAt(0, dst, n);
}

int CRingBuffer::PeekAt(uint32_t offset, void* dst, uint32_t n) const {
  if (storage_ == nullptr) return 3;
  if (uint64_t{offset} + n > count_) return 4;
  if (n == 0) return 0;
  CopyOut(IndexAfterHead(offset), static_cast<uint8_t*>(dst), n);
  return 0;
}

int CRingBuffer::WriteAt(int32_t offset, const void* src, uint32_t n) {
  if (offset == -1) return Push(src, n);
  if (storage_ == nullptr || offset < 0) return 3;
  const auto start = static_cast<uint32_t>(offset);
  if (start > count_) return 5;
  if (uint64_t{start} + n > capacity_) return 4;
  if (n == 0) return 0;
  CopyIn(IndexAfterHead(start), static_cast<const uint8_t*>(src), n);
  count_ = std::max(count_, start + n);
  tail_ = IndexAfterHead(count_);
  return 0;
}

int CRingBuffer::GetByte(int mode) {
  if (storage_ == nullptr || count_ == 0) return -1;
  const uint8_t value = storage_[head_];
  if (mode == 1) Skip(1);
  return value;
}

int CRingBuffer::PutByte(uint8_t b) {
  return Push(&b, 1);
}

int CRingBuffer::PutByteAt(int32_t offset, uint8_t b) {
  if (offset == -1) return PutByte(b);
  if (storage_ == nullptr || offset < 0) return 3;
  const auto position = static_cast<uint32_t>(offset);
  if (position > count_) return 5;
  if (position == count_) return PutByte(b);
  storage_[IndexAfterHead(position)] = b;
  return 0;
}

// An emptied ring starts again at index 0, so that the next transfer of up
// to the whole capacity is one contiguous region (one disk request).
int CRingBuffer::Skip(uint32_t n) {
  if (storage_ == nullptr) return 3;
  if (n > count_) return 4;
  count_ -= n;
  if (count_ == 0) {
    head_ = tail_ = 0;
  } else {
    head_ = IndexAfterHead(n);
  }
  return 0;
}

int CRingBuffer::Unpush(uint32_t n) {
  if (storage_ == nullptr) return 3;
  if (n > count_) return 4;
  count_ -= n;
  if (count_ == 0) head_ = 0;
  tail_ = IndexAfterHead(count_);
  return 0;
}

void CRingBuffer::UnpushByte() {
  Unpush(1);
}

int CRingBuffer::Transfer(CRingBuffer& source, uint32_t n, int mode) {
  if (storage_ == nullptr || source.storage_ == nullptr) return 3;
  if (n > FreeSpace()) return 4;
  if (n > source.count_) return 5;
  if (n == 0) return 0;
  // Copy span by span from the source straight into this ring.
  uint32_t done = 0;
  while (done < n) {
    const uint32_t from = source.IndexAfterHead(done);
    const uint32_t piece = std::min(n - done, source.capacity_ - from);
    CopyIn(tail_, source.storage_ + from, piece);
    tail_ = static_cast<uint32_t>((uint64_t{tail_} + piece) % capacity_);
    count_ += piece;
    done += piece;
  }
  if (mode != 2) source.Skip(n);
  return 0;
}

// The n bytes from index on, as one or two spans (two when they wrap).
int CRingBuffer::SpansFrom(uint32_t index, uint32_t n, fileio::IoSpan* spans) const {
  const uint32_t first = std::min(n, capacity_ - index);
  spans[0] = {storage_ + index, first};
  spans[1] = {storage_, n - first};
  return n > first ? 2 : 1;
}

int CRingBuffer::ReadFromFile(uint32_t n, int fd) {
  if (storage_ == nullptr) return 3;
  if (n > FreeSpace()) return 4;
  if (n == 0) return 0;
  fileio::IoSpan spans[2];
  const int spanCount = SpansFrom(tail_, n, spans);
  const ssize_t got = fileio::ReadFullSpans(fd, spans, spanCount);
  const uint32_t arrived = got > 0 ? static_cast<uint32_t>(got) : 0;
  tail_ = static_cast<uint32_t>((uint64_t{tail_} + arrived) % capacity_);
  count_ += arrived;
  return arrived < n ? 6 : 0;
}

int CRingBuffer::WriteToFile(uint32_t n, int fd) {
  if (storage_ == nullptr) return 3;
  if (n > count_) return 4;
  if (n == 0) return 0;
  fileio::IoSpan spans[2];
  const int spanCount = SpansFrom(head_, n, spans);
  if (fileio::WriteFullSpans(fd, spans, spanCount) != static_cast<ssize_t>(n)) return 6;
  return Skip(n);
}

int CRingBuffer::Lock(uint32_t offset, uint32_t n, uint8_t** first, uint32_t* firstLength,
                      uint8_t** second, uint32_t* secondLength) {
  if (storage_ == nullptr || first == nullptr || firstLength == nullptr) return 3;
  if (uint64_t{offset} + n > capacity_) return 4;
  if (offset > count_) return 5;
  const uint32_t start = IndexAfterHead(offset);
  const uint32_t firstPiece = std::min(n, capacity_ - start);
  const bool wraps = firstPiece < n;
  if (wraps && (second == nullptr || secondLength == nullptr)) return 4;
  *first = storage_ + start;
  *firstLength = firstPiece;
  if (second != nullptr && secondLength != nullptr) {
    *second = wraps ? storage_ : nullptr;
    *secondLength = n - firstPiece;
  }
  if (offset + n > count_) {
    count_ = offset + n;
    tail_ = IndexAfterHead(count_);
  }
  return 0;
}

void CRingBuffer::Swap(CRingBuffer& other) {
  std::swap(pageFlag_, other.pageFlag_);
  std::swap(storage_, other.storage_);
  std::swap(head_, other.head_);
  std::swap(tail_, other.tail_);
  std::swap(capacity_, other.capacity_);
  std::swap(count_, other.count_);
}

}  // namespace snipora
