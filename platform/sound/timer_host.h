#pragma once

#include <cstdint>

namespace snipora {

// Window timers as the player uses them: a periodic tick per id, routed by the host to
// the owner's timer handler.
class ITimerHost {
 public:
  virtual ~ITimerHost() = default;
  // Starts (or restarts) the periodic timer `id` with a period of `ms` milliseconds.
  virtual void SetTimer(uint32_t id, uint32_t ms) = 0;
  virtual void KillTimer(uint32_t id) = 0;
};

// A timer host for tests: it only records which timers run; the test delivers the ticks.
class ManualTimerHost : public ITimerHost {
 public:
  void SetTimer(uint32_t id, uint32_t ms) override;
  void KillTimer(uint32_t id) override;

  bool IsRunning(uint32_t id) const;
  // Period of a running timer, 0 when it does not run.
  uint32_t Period(uint32_t id) const;

 private:
  static constexpr int kMaxTimers = 8;
  struct Entry {
    uint32_t id = 0;
    uint32_t ms = 0;
  };
  Entry entries_[kMaxTimers]{};
  int count_ = 0;
};

}  // namespace snipora
