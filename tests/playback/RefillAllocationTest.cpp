// No heap allocation during a refill tick: this executable replaces the global
// allocation functions with counting ones.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/playback/player_rig.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* Allocate(std::size_t size, std::size_t alignment) {
  if (counting) ++allocations;
  size = size == 0 ? 1 : size;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  void* p = Allocate(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t n) {
  return AllocateOrThrow(n, 0);
}
void* operator new[](std::size_t n) {
  return AllocateOrThrow(n, 0);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n, 0);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n, 0);
}
void* operator new(std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}

namespace snipora::test {
namespace {

// Counts the allocations made while `work` runs.
template <typename Work>
int AllocationsDuring(Work&& work) {
  allocations = 0;
  counting = true;
  work();
  counting = false;
  return allocations;
}

TEST(RefillAllocationTest, CounterSeesAllocations) {
  EXPECT_EQ(AllocationsDuring([] { delete new int(1); }), 1);
}

TEST(RefillAllocationTest, TicksAllocateNothing) {
  TempDir dir;
  const Bytes data = Noise16(176400 * 12, 3);
  const std::string path = dir.File("noise.wav");
  WriteFileBytes(path, MakeWave(2, 44100, 16, data));
  PlayerRig rig;
  rig.player.SetOptions(CDS_NOTIFY_STOP | CDS_NOTIFY_LOOP | CDS_NOTIFY_SEAM | CDS_AUTOVOLUME |
                        CDS_AUTOVOLUPENABLE | CDS_VOLCTL_VER2);
  rig.notifications.reserve(1000);  // the test's own record must not allocate in a tick
  ASSERT_EQ(rig.player.SetSoftwareVolume(10), 0);
  ASSERT_EQ(rig.player.SetSpeedPercent(250), 0);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  ASSERT_EQ(rig.player.SetLoop(176400, 176400 * 5, kUnitBytes), 0);
  ASSERT_EQ(rig.player.Play(kPlayLoop), 0);
  int ticks = 0;
  const auto tick = [&] {
    rig.device.MovePlayCursor(35280);
    EXPECT_EQ(AllocationsDuring([&] {
                rig.player.OnTimer();
                rig.player.GetPosition(kUnitMilliseconds);
              }),
              0)
        << "tick " << ticks;
    ++ticks;
  };
  // Loop restarts at 250 %, with the automatic control raising the gain.
  for (int i = 0; i < 60; ++i) tick();
  EXPECT_GT(rig.player.GetSoftwareVolume(), 10);
  EXPECT_GE(std::count(rig.notifications.begin(), rig.notifications.end(), kNotifyLoopQueued), 3);
  // Then on to the data end and the stop.
  ASSERT_EQ(rig.player.SetFlags(CDS_LOOP, false), 0);
  while (rig.player.IsPlaying() && ticks < 1000) tick();
  EXPECT_FALSE(rig.player.IsPlaying());
  EXPECT_EQ(rig.notifications.back(), kNotifyStopped);
}

}  // namespace
}  // namespace snipora::test
