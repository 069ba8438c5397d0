#include "platform/sound/timer_host.h"

#include <stdexcept>

namespace snipora {

void ManualTimerHost::SetTimer(uint32_t id, uint32_t ms) {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].id == id) {
      entries_[i].ms = ms;
      return;
    }
  }
  if (count_ == kMaxTimers) throw std::length_error("ManualTimerHost: too many timers");
  entries_[count_++] = {id, ms};
}

void ManualTimerHost::KillTimer(uint32_t id) {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].id == id) {
      entries_[i] = entries_[--count_];
      return;
    }
  }
}

bool ManualTimerHost::IsRunning(uint32_t id) const {
  return Period(id) != 0;
}

uint32_t ManualTimerHost::Period(uint32_t id) const {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].id == id) return entries_[i].ms;
  }
  return 0;
}

}  // namespace snipora
