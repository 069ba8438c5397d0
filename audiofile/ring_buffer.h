#pragma once

#include <cstdint>

#include "platform/system/file_io.h"

namespace snipora {

// A byte ring: the buffer between a CSectorFile and the disk, and every queue
// of the player. Results: 0 success, 1 allocation failed, 2 already has / has
// no storage, 3 no storage, 4 not enough room or data, 5 offset beyond the
// data, 6 short read from a file. Not thread-safe.
class CRingBuffer {
 public:
  CRingBuffer() = default;
  CRingBuffer(const CRingBuffer&) = delete;
  CRingBuffer& operator=(const CRingBuffer&) = delete;
  virtual ~CRingBuffer();

  // Storage of n bytes from the heap (aligned to a page); indices reset.
  int Allocate(uint32_t n);
  // Storage of n bytes from the page allocator (page-aligned, for direct I/O).
  int AllocatePages(uint32_t n);
  // Frees the storage the way it was obtained; 2 when there is none.
  int Release();
  // Empties the ring; 3 when there is no storage.
  int Clear();

  uint32_t Count() const { return count_; }
  uint32_t FreeSpace() const { return capacity_ - count_; }
  uint32_t Capacity() const { return capacity_; }

  // Appends n bytes at the tail.
  int Push(const void* src, uint32_t n);
  // Copies the n oldest bytes out and removes them; mode 2 keeps them (Peek).
  int Pop(void* dst, uint32_t n, int mode = 1);
  // Copies the n oldest bytes out and keeps them.
  int Peek(void* dst, uint32_t n) const;
  // Copies n bytes starting offset bytes after the head.
  int PeekAt(uint32_t offset, void* dst, uint32_t n) const;
  // offset -1: Push. Otherwise overwrites or extends from offset bytes after
  // the head; the count becomes max(count, offset + n).
  int WriteAt(int32_t offset, const void* src, uint32_t n);

  // Mode 1 removes and returns the oldest byte, other modes only return it;
  // -1 when there is no storage or the ring is empty.
  int GetByte(int mode);
  int PutByte(uint8_t b);
  // offset -1: PutByte; otherwise stores b offset bytes after the head
  // (offset == count appends).
  int PutByteAt(int32_t offset, uint8_t b);

  // Removes the n oldest bytes. Whatever empties the ring (Skip, Pop,
  // GetByte, Unpush, Transfer out, WriteToFile) moves head and tail to 0.
  int Skip(uint32_t n);
  // Removes the n newest bytes.
  int Unpush(uint32_t n);
  // Removes the newest byte (callers use it right after a successful PutByte).
  void UnpushByte();

  // Moves n bytes from the head of source to this ring's tail; mode 2 copies
  // without removing them from source. 4 no room here, 5 source too short.
  int Transfer(CRingBuffer& source, uint32_t n, int mode = 1);

  // Reads n bytes from the descriptor's file position into the tail (one
  // vectored read when the free region wraps). 6 on a short read; the bytes
  // that did arrive are kept and counted.
  int ReadFromFile(uint32_t n, int fd);
  // Writes the n oldest bytes to the descriptor (one vectored write when they
  // wrap) and removes them. 6 when the system wrote fewer bytes (ENOSPC, I/O error); nothing is
  // removed then.
  int WriteToFile(uint32_t n, int fd);

  // Direct pointers to the n bytes that start offset bytes after the head:
  // the first span and, when second is not null, the wrapped second span
  // (null and 0 when there is none). A region reaching past the count extends
  // the count so that the caller can fill it in place.
  int Lock(uint32_t offset, uint32_t n, uint8_t** first, uint32_t* firstLength, uint8_t** second,
           uint32_t* secondLength);

  // Exchanges the complete state of two rings.
  void Swap(CRingBuffer& other);

 private:
  int AdoptStorage(uint8_t* storage, uint32_t n, bool pages);
  uint32_t IndexAfterHead(uint32_t offset) const;
  int SpansFrom(uint32_t index, uint32_t n, fileio::IoSpan* spans) const;
  void CopyIn(uint32_t index, const uint8_t* src, uint32_t n);
  void CopyOut(uint32_t index, uint8_t* dst, uint32_t n) const;

  int32_t pageFlag_ = 0;
  uint8_t* storage_ = nullptr;
  uint32_t head_ = 0;
  uint32_t tail_ = 0;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
};

}  // namespace snipora
