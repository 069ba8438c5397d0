#include "audiofile/write_behind.h"

#include <system_error>

#include "platform/system/file_io.h"

namespace snipora {

CWriteBehind::~CWriteBehind() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  jobCondition_.notify_one();
  thread_.join();
}

int CWriteBehind::Prepare(uint32_t capacity) {
  Wait();
  if (ring_.Capacity() != capacity) {
    ring_.Release();
    if (ring_.AllocatePages(capacity) != 0) return 1;
  }
  ring_.Clear();
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      return 1;
    }
  }
  return 0;
}

void CWriteBehind::Start(int fd, uint64_t position, uint32_t n) {
  {
    std::lock_guard lock(mutex_);
    pending_ = true;
    fd_ = fd;
    position_ = position;
    length_ = n;
  }
  jobCondition_.notify_one();
}

bool CWriteBehind::Wait() {
  std::unique_lock lock(mutex_);
  doneCondition_.wait(lock, [this] { return !pending_; });
  const bool ok = !failed_;
  failed_ = false;
  return ok;
}

void CWriteBehind::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    jobCondition_.wait(lock, [this] { return stop_ || pending_; });
    if (!pending_) return;  // stopped with nothing to do
    const int fd = fd_;
    const uint64_t position = position_;
    const uint32_t length = length_;
    lock.unlock();
    const bool ok = fileio::SeekTo(fd, static_cast<int64_t>(position)) >= 0 &&
                    ring_.WriteToFile(length, fd) == 0;
    ring_.Clear();
    lock.lock();
    failed_ = !ok;
    pending_ = false;
    doneCondition_.notify_one();
  }
}

}  // namespace snipora
