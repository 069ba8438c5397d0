#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "audiofile/sample_source.h"

namespace snipora {

// A stretch of a file: byte position and length.
struct FileExtent {
  uint64_t position = 0;
  uint64_t length = 0;
};

// Reads given stretches of one file, in order, on a thread of its own while
// the caller works on the bytes already read, so that reading overlaps
// whatever the caller does with them (writing them elsewhere). Like
// CSectorFile it bypasses the page cache: whole aligned sectors into
// page-aligned blocks. A stretch that starts or ends inside a sector is
// served from inside its blocks, so it costs no more reading than an aligned
// one. The caller takes the bytes as runs, in order, and may change a run in
// place until it consumes it. One caller thread; the reading thread touches
// only the blocks the caller has handed back.
class CExtentReader : public ISampleRuns {
 public:
  // blockBytes: bytes per disk request (rounded up to whole sectors);
  // blockCount (at least 2): how many blocks may be read ahead.
  CExtentReader(uint32_t blockBytes, uint32_t blockCount);
  CExtentReader(const CExtentReader&) = delete;
  CExtentReader& operator=(const CExtentReader&) = delete;
  ~CExtentReader() override;

  // Opens path for reading. 0; 2 the system refused, or the size is unknown;
  // 4 already open; 5 no memory for the blocks.
  int Open(const char* path);
  // Starts reading extents (which must lie inside the file) in the
  // background. Once per Open.
  void Start(std::vector<FileExtent> extents);
  // The next run of the extents' bytes, waiting until it has been read: at
  // most maxLength bytes (more than 0), never crossing a block. 0, or 6 when
  // the file could not deliver them (read error, file cut short, or nothing
  // left of the extents).
  int Next(uint32_t maxLength, uint8_t** data, uint32_t* length) override;
  // Marks the first n bytes of the last run as used (n at most its length).
  void Consume(uint32_t n) override;
  // Stops the reading thread and closes the file.
  void Close();

 private:
  struct Block {
    uint8_t* storage = nullptr;
    uint32_t begin = 0;   // first unused byte of an extent in storage
    uint32_t end = 0;     // past its last byte
    bool failed = false;  // the read fell short of the extent; the last block
  };

  void ReadExtents(const std::vector<FileExtent>& extents);
  // Waits until the block after the filled ones is free; false when told
  // to stop.
  bool WaitForFreeBlock(size_t& index);
  // Hands that block to the caller; last: no more blocks follow.
  void Publish(bool last);

  uint32_t blockBytes_;
  uint32_t alignment_ = 4096;
  uint8_t* pages_ = nullptr;
  size_t pagesBytes_ = 0;
  std::vector<Block> blocks_;
  int fd_ = -1;
  std::thread thread_;

  // Shared with the reading thread, under mutex_: blocks_[first_] onwards,
  // filled_ of them, belong to the caller; the rest to the reading thread.
  std::mutex mutex_;
  std::condition_variable filledCondition_;
  std::condition_variable freedCondition_;
  size_t first_ = 0;
  size_t filled_ = 0;
  bool finished_ = true;  // no more blocks will be published (none before Start)
  bool stop_ = false;
};

}  // namespace snipora
