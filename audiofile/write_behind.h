#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "audiofile/ring_buffer.h"

namespace snipora {

// Writes whole sectors for a CSectorFile on a thread of its own while the
// file's caller goes on filling the file's ring: the file swaps its full ring
// with this one's empty ring and hands it over, one job at a time. Used by
// one caller thread; the writing thread touches the ring and the descriptor
// only between Start and the end of the next Wait.
class CWriteBehind {
 public:
  CWriteBehind() = default;
  CWriteBehind(const CWriteBehind&) = delete;
  CWriteBehind& operator=(const CWriteBehind&) = delete;
  ~CWriteBehind();

  // Gives the spare ring capacity bytes of page memory (kept when it already
  // has them) and starts the thread. 0, or 1 when memory or the thread could
  // not be had.
  int Prepare(uint32_t capacity);
  // The spare ring; the caller may use it only while no job runs.
  CRingBuffer& Ring() { return ring_; }
  // Writes the ring's n oldest bytes at position of fd in the background;
  // the ring is empty when the job is done.
  void Start(int fd, uint64_t position, uint32_t n);
  // Waits for the job in flight, if any. False when it failed (its bytes are
  // dropped, not retried).
  bool Wait();

 private:
  void Run();

  CRingBuffer ring_;
  std::thread thread_;
  // Under mutex_: a job from Start until the thread reports it done.
  std::mutex mutex_;
  std::condition_variable jobCondition_;
  std::condition_variable doneCondition_;
  bool pending_ = false;
  bool failed_ = false;
  bool stop_ = false;
  int fd_ = -1;
  uint64_t position_ = 0;
  uint32_t length_ = 0;
};

}  // namespace snipora
