#include "audiofile/extent_reader.h"

#include <algorithm>
#include <system_error>

#include "platform/system/file_io.h"
#include "platform/system/page_memory.h"

namespace snipora {
namespace {

constexpr uint32_t kLeastAlignment = 4096;  // a multiple of every usual sector size

bool IsPowerOfTwo(uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

CExtentReader::CExtentReader(uint32_t blockBytes, uint32_t blockCount)
    : blockBytes_(std::max(kLeastAlignment,
                           (blockBytes + kLeastAlignment - 1) / kLeastAlignment * kLeastAlignment)),
      blocks_(std::max<uint32_t>(blockCount, 2)) {}

CExtentReader::~CExtentReader() {
  Close();
}

int CExtentReader::Open(const char* path) {
  if (fd_ >= 0) return 4;
  if (pages_ == nullptr) {
    pagesBytes_ = size_t{blockBytes_} * blocks_.size();
    pages_ = static_cast<uint8_t*>(pagememory::AllocatePages(pagesBytes_));
    if (pages_ == nullptr) return 5;
    for (size_t i = 0; i < blocks_.size(); ++i) blocks_[i].storage = pages_ + i * blockBytes_;
  }
  const fileio::OpenedFile opened = fileio::OpenFile(path, fileio::OpenAccess::Read, true);
  if (opened.fd < 0) return 2;
  fd_ = opened.fd;
  const int64_t size = fileio::FileSize(fd_);
  if (size < 0) {
    Close();
    return 2;
  }
  alignment_ = kLeastAlignment;
  if (opened.direct) {
    // Requests are whole aligned blocks; an alignment the blocks cannot
    // honour goes through the page cache instead.
    const uint32_t reported = fileio::DirectIoAlignment(fd_);
    if (IsPowerOfTwo(reported) && reported <= blockBytes_ / 2 && blockBytes_ % reported == 0) {
      alignment_ = std::max(alignment_, reported);
    } else if (reported != 0) {
      fileio::DisableDirect(fd_);
    }
  }
  return 0;
}

void CExtentReader::Start(std::vector<FileExtent> extents) {
  if (fd_ < 0 || thread_.joinable()) return;
  first_ = filled_ = 0;
  finished_ = stop_ = false;
  try {
    thread_ = std::thread([this, extents = std::move(extents)] { ReadExtents(extents); });
  } catch (const std::system_error&) {
    finished_ = true;  // no thread: Next reports that nothing can be read
  }
}

bool CExtentReader::WaitForFreeBlock(size_t& index) {
  std::unique_lock lock(mutex_);
  freedCondition_.wait(lock, [this] { return stop_ || filled_ < blocks_.size(); });
  if (stop_) return false;
  index = (first_ + filled_) % blocks_.size();
  return true;
}

void CExtentReader::Publish(bool last) {
  {
    std::lock_guard lock(mutex_);
    ++filled_;
    if (last) finished_ = true;
  }
  filledCondition_.notify_one();
}

// The reading thread: each extent from the sector holding its first byte to
// the end of the sector holding its last, in blocks.
void CExtentReader::ReadExtents(const std::vector<FileExtent>& extents) {
  for (size_t e = 0; e < extents.size(); ++e) {
    uint64_t position = extents[e].position;
    const uint64_t stop = position + extents[e].length;
    while (position < stop) {
      size_t index = 0;
      if (!WaitForFreeBlock(index)) return;
      Block& block = blocks_[index];
      const uint64_t start = position - position % alignment_;
      const uint64_t alignedStop = (stop + alignment_ - 1) / alignment_ * alignment_;
      const uint32_t request =
          static_cast<uint32_t>(std::min<uint64_t>(blockBytes_, alignedStop - start));
      const uint32_t needed =
          static_cast<uint32_t>(std::min<uint64_t>(stop, start + request) - start);
      const ssize_t got = fileio::SeekTo(fd_, static_cast<int64_t>(start)) < 0
                              ? -1
                              : fileio::ReadFull(fd_, block.storage, request);
      // The last sector of the file may be partial: a read that ends early
      // is a failure only when it misses bytes of the extent. What did
      // arrive is still handed over.
      const uint32_t arrived = got < 0 ? 0 : std::min(needed, static_cast<uint32_t>(got));
      block.begin = static_cast<uint32_t>(position - start);
      block.end = std::max(block.begin, arrived);
      const bool failed = arrived < needed;
      block.failed = failed;
      position = start + needed;
      // Once published the block is the caller's: only locals from here.
      Publish(failed || (position == stop && e + 1 == extents.size()));
      if (failed) return;
    }
  }
  std::lock_guard lock(mutex_);
  finished_ = true;
  filledCondition_.notify_one();
}

int CExtentReader::Next(uint32_t maxLength, uint8_t** data, uint32_t* length) {
  Block* block = nullptr;
  {
    std::unique_lock lock(mutex_);
    filledCondition_.wait(lock, [this] { return filled_ > 0 || finished_; });
    if (filled_ == 0) return 6;
    block = &blocks_[first_];
  }
  if (block->begin == block->end) return 6;  // only a failed block is ever empty
  *data = block->storage + block->begin;
  *length = std::min(maxLength, block->end - block->begin);
  return 0;
}

void CExtentReader::Consume(uint32_t n) {
  bool freed = false;
  {
    std::lock_guard lock(mutex_);
    if (filled_ == 0) return;
    Block& block = blocks_[first_];
    block.begin += std::min(n, block.end - block.begin);
    if (block.begin == block.end && !block.failed) {
      first_ = (first_ + 1) % blocks_.size();
      --filled_;
      freed = true;
    }
  }
  if (freed) freedCondition_.notify_one();
}

void CExtentReader::Close() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    freedCondition_.notify_all();
    thread_.join();
  }
  // The thread is gone: nothing is shared any more.
  first_ = filled_ = 0;
  finished_ = true;
  if (fd_ >= 0) fileio::CloseFile(fd_);
  fd_ = -1;
  if (pages_ != nullptr) pagememory::FreePages(pages_, pagesBytes_);
  pages_ = nullptr;
  for (Block& block : blocks_) block = Block{};
}

}  // namespace snipora
