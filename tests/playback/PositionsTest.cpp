// Loop playback, positions during a pending loop restart, loop mode switched on and off,
// seeking, end positions and the temporary end point.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

constexpr uint32_t kRate = 176400;  // 44.1 kHz 16-bit stereo

class PositionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = Noise16(kRate * 6, 21);
    path_ = dir_.File("six.wav");
    WriteFileBytes(path_, MakeWave(2, 44100, 16, data_));
  }

  // The byte heard `n` bytes after playback started at `start` with loop a..b.
  static uint32_t LoopedPosition(uint64_t n, uint32_t start, uint32_t a, uint32_t b) {
    if (start + n < b) return static_cast<uint32_t>(start + n);
    return static_cast<uint32_t>(a + (start + n - b) % (b - a));
  }

  // Milliseconds land on the start of the block after the exact byte position.
  static uint32_t MsToSeekPoint(uint32_t ms) {
    const uint64_t exact = (uint64_t{kRate} * 10000 * ms + 4 * 10000000ull) / 10000000;
    return static_cast<uint32_t>(exact - exact % 4);
  }

  TempDir dir_;
  Bytes data_;
  std::string path_;
};

TEST_F(PositionsTest, LoopIsSampleExactAtTheSeamAndPositionsStayInTheOldPass) {
  struct Range {
    uint32_t a;
    uint32_t b;
  };
  // A one-second loop queues several restarts before the first seam is heard.
  // The loop is set after the seek, with the bytes behind its end already written.
  for (const Range range : {Range{kRate + 400, kRate * 26 / 5}, Range{kRate * 2, kRate * 3}}) {
    SCOPED_TRACE(testing::Message() << "loop " << range.a << ".." << range.b);
    PlayerRig rig;
    rig.player.SetOptions(CDS_NOTIFY_LOOP | CDS_NOTIFY_SEAM | CDS_NOTIFY_STOP);
    ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
    const uint32_t start = range.b - kRate / 2;
    ASSERT_EQ(rig.player.Seek(start, kUnitBytes), 0);
    ASSERT_EQ(rig.player.SetLoop(range.a, range.b, kUnitBytes), 0);
    ASSERT_EQ(rig.player.Play(kPlayLoop), 0);
    uint32_t random = 99;
    bool sawPendingInOldPass = false;
    for (int tick = 0; tick < 400; ++tick) {
      random = random * 1103515245 + 12345;
      rig.device.MovePlayCursor(((random >> 8) % 50000) & ~3u);
      const uint64_t heard = rig.device.Heard().size();
      const uint32_t position = rig.player.GetPosition(kUnitBytes);
      ASSERT_EQ(position, LoopedPosition(heard, start, range.a, range.b)) << "tick " << tick;
      if ((rig.player.State() & CDS_LOOPPENDING) && position > range.b - kRate / 4) {
        sawPendingInOldPass = true;
      }
      rig.player.OnTimer();
    }
    EXPECT_TRUE(sawPendingInOldPass);
    ASSERT_TRUE(rig.player.IsPlaying()) << "loop playback never ends by itself";
    const Bytes& heard = rig.device.Heard();
    ASSERT_GT(heard.size(), uint64_t{5} * (range.b - range.a));
    for (size_t i = 0; i < heard.size(); i += 4) {
      const uint32_t source = LoopedPosition(i, start, range.a, range.b);
      ASSERT_TRUE(std::equal(heard.begin() + i, heard.begin() + i + 4, data_.begin() + source))
          << "heard byte " << i;
    }
    // A restart is queued every pass. The seam is reported only once it has been heard
    // with no later restart queued, which a loop shorter than the queue never allows.
    const auto restarts =
        std::count(rig.notifications.begin(), rig.notifications.end(), kNotifyLoopQueued);
    const auto seams =
        std::count(rig.notifications.begin(), rig.notifications.end(), kNotifySeamHeard);
    EXPECT_GE(restarts, 5);
    EXPECT_EQ(std::count(rig.notifications.begin(), rig.notifications.end(), kNotifyStopped), 0);
    if (range.b - range.a > 3 * kRate) {
      EXPECT_GE(seams, restarts - 1);
    } else {
      EXPECT_EQ(seams, 0);
    }
  }
}

TEST_F(PositionsTest, LoopSwitchedOnAfterTheDataEndContinuesRightBehindTheLastByte) {
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  const uint32_t a = kRate / 2;
  ASSERT_EQ(rig.player.SetLoop(a, kEndOfData, kUnitBytes), 0);
  ASSERT_EQ(rig.player.Seek(kRate * 2, kUnitBytes), 0);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  while (!(rig.player.State() & CDS_DATAEND)) rig.Run(35280, 1);
  ASSERT_EQ(rig.player.SetFlags(CDS_LOOP, true), 0);
  EXPECT_FALSE(rig.player.State() & CDS_DATAEND);
  rig.Run(35280, 60);
  const Bytes& heard = rig.device.Heard();
  const uint32_t end = static_cast<uint32_t>(data_.size());
  for (size_t i = 0; i < heard.size(); i += 4) {
    const uint32_t source = LoopedPosition(i, kRate * 2, a, end);
    ASSERT_TRUE(std::equal(heard.begin() + i, heard.begin() + i + 4, data_.begin() + source))
        << "heard byte " << i;
  }
  EXPECT_GT(heard.size(), end - kRate * 2 + (end - a));
}

TEST_F(PositionsTest, LoopSwitchedOffWhileRestartQueuedRestartsAtTheCurrentTime) {
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  const uint32_t a = kRate, b = kRate * 3;
  ASSERT_EQ(rig.player.Seek(b - kRate / 2, kUnitBytes), 0);
  ASSERT_EQ(rig.player.SetLoop(a, b, kUnitBytes), 0);
  ASSERT_EQ(rig.player.Play(kPlayLoop), 0);
  while (!(rig.player.State() & CDS_LOOPPENDING)) rig.Run(35280, 1);
  const uint32_t ms = rig.player.GetPosition(kUnitMilliseconds);
  ASSERT_LT(ms, 3000u);
  rig.device.ClearHeard();
  ASSERT_EQ(rig.player.SetFlags(CDS_LOOP, false), 0);
  EXPECT_FALSE(rig.player.State() & (CDS_LOOP | CDS_LOOPPENDING));
  rig.Run(35280, 15);
  const uint32_t landing = MsToSeekPoint(ms);
  const Bytes& heard = rig.device.Heard();
  ASSERT_GT(landing + heard.size(), b + kRate) << "playback must run on past the old loop end";
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), data_.begin() + landing));
}

// A loop end between the sound heard and the last byte read cuts what was read behind
// it. When the play cursor has already passed the loop end by the next refill, only
// what is still unplayed, beyond the rewrite margin, is taken back: playback goes on
// at the loop start.
TEST_F(PositionsTest, LoopEndAlreadyPassedWhenTheCutTakesEffectGoesOnAtTheLoopStart) {
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(35280, 5);  // one second heard, about three read ahead
  const uint32_t b = kRate + 17640;
  ASSERT_EQ(rig.player.SetLoop(0, b, kUnitBytes), 0);
  ASSERT_EQ(rig.player.SetFlags(CDS_LOOP, true), 0);
  rig.Run(35280, 20);  // the first step passes the loop end before the refill
  const Bytes& heard = rig.device.Heard();
  // Heard before the cut, and the 50 ms ahead of the cursor that may be on their way.
  const size_t kept = kRate + 35280 + 8820;
  ASSERT_GT(heard.size(), kept + b);
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + kept, data_.begin()));
  EXPECT_TRUE(std::equal(heard.begin() + kept, heard.begin() + kept + b, data_.begin()))
      << "the loop start follows what was heard";
}

TEST_F(PositionsTest, RefusalsAndEdgesOfPositionalOperations) {
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  const uint32_t size = static_cast<uint32_t>(data_.size());
  struct Case {
    const char* what;
    int result;
    int expected;
  };
  // Each row runs in order on the same stopped player.
  const Case cases[] = {
      {"loop of 999 ms", rig.player.SetLoop(0, 999, kUnitMilliseconds), kPlayerBadArgument},
      {"loop ending before its start", rig.player.SetLoop(2000, 1000, kUnitMilliseconds),
       kPlayerBadArgument},
      {"loop of one second", rig.player.SetLoop(0, 1000, kUnitMilliseconds), kPlayerOk},
      {"seek past the data", rig.player.Seek(size + 4, kUnitBytes), kPlayerBadArgument},
      {"seek to the data end", rig.player.Seek(size, kUnitBytes), kPlayerOk},
      {"seek to 6000 ms lands past the end", rig.player.Seek(6000, kUnitMilliseconds),
       kPlayerBadArgument},
      {"seek in an unknown unit", rig.player.Seek(0, 4), kPlayerBadState},
      {"seek to 4.5 s", rig.player.Seek(kRate * 9 / 2, kUnitBytes), kPlayerOk},
      {"loop ending behind the position", rig.player.SetLoop(0, 4000, kUnitMilliseconds),
       kPlayerBadState},
      {"end behind the read position", rig.player.SetEnd(5000, kUnitMilliseconds), kPlayerBadState},
      {"seek to 1 s", rig.player.Seek(kRate, kUnitBytes), kPlayerOk},
      {"end at 4.5 s, beyond the read position", rig.player.SetEnd(4500, kUnitMilliseconds),
       kPlayerOk},
      {"seek beyond the end position", rig.player.Seek(kRate * 5, kUnitBytes), kPlayerBadArgument},
      {"end -1", rig.player.SetEnd(kEndOfData, kUnitBytes), kPlayerOk},
      {"seek once the end is the data end", rig.player.Seek(kRate * 5, kUnitBytes), kPlayerOk},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  EXPECT_EQ(rig.player.GetPosition(0), kEndOfData);
  EXPECT_EQ(rig.player.GetPosition(4), kEndOfData);
  EXPECT_EQ(rig.player.SetEnd(0, 4), kPlayerBadState);
}

TEST_F(PositionsTest, SeekInMillisecondsLandsOnTheNextBlock) {
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  struct Case {
    uint32_t ms;
    uint32_t bytes;
  };
  for (const Case c : {Case{0, 4}, Case{1, 180}, Case{1000, 176404}, Case{2500, 441004}}) {
    ASSERT_EQ(MsToSeekPoint(c.ms), c.bytes);
    ASSERT_EQ(rig.player.Seek(c.ms, kUnitMilliseconds), 0);
    EXPECT_EQ(rig.player.GetPosition(kUnitBytes), c.bytes) << c.ms << " ms";
    EXPECT_EQ(rig.player.GetPosition(kUnitSamples), c.bytes / 4) << c.ms << " ms";
    EXPECT_EQ(rig.player.GetPosition(kUnitMilliseconds), c.bytes * 1000ull / kRate)
        << c.ms << " ms";
  }
  // Samples convert through the block alignment.
  ASSERT_EQ(rig.player.Seek(44100, kUnitSamples), 0);
  EXPECT_EQ(rig.player.GetPosition(kUnitBytes), kRate);
}

TEST_F(PositionsTest, TemporaryEndPointBoundsPlaybackAndEndsWithTheOwnersBound) {
  PlayerRig rig;
  rig.player.SetOptions(CDS_NOTIFY_STOP);
  ASSERT_EQ(rig.player.Open(path_.c_str()), 0);
  EXPECT_FALSE(rig.player.SetEndPoint(static_cast<uint32_t>(data_.size()) + 4));
  ASSERT_TRUE(rig.player.SetEndPoint(kRate * 2));
  EXPECT_FALSE(rig.player.SetEndPoint(kRate * 3)) << "one end point at a time";
  ASSERT_EQ(rig.player.Seek(kRate, kUnitBytes), 0);
  rig.bounded = true;
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(35280, 100);
  ASSERT_FALSE(rig.player.IsPlaying());
  const Bytes& heard = rig.device.Heard();
  ASSERT_GE(heard.size(), kRate);
  EXPECT_TRUE(std::equal(data_.begin() + kRate, data_.begin() + kRate * 2, heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + kRate, heard.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(rig.notifications, std::vector<int>{kNotifyStopped});
  EXPECT_EQ(rig.player.GetPosition(kUnitBytes), kRate * 2);

  // What the main window does next: clear the end point and seek; the bound ends.
  EXPECT_TRUE(rig.player.ClearEndPoint());
  EXPECT_FALSE(rig.player.ClearEndPoint());
  ASSERT_EQ(rig.player.Seek(kRate * 2, kUnitBytes), 0);
  EXPECT_FALSE(rig.bounded);
  EXPECT_EQ(rig.boundedEnded, 1);
  EXPECT_EQ(rig.player.Seek(kRate * 5, kUnitBytes), 0) << "the end is the data end again";

  // Stop during bounded playback ends the bound and removes the end point.
  ASSERT_TRUE(rig.player.SetEndPoint(kRate * 5));
  ASSERT_EQ(rig.player.Seek(kRate * 4, kUnitBytes), 0);
  rig.bounded = true;
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  ASSERT_EQ(rig.player.Stop(), 0);
  EXPECT_FALSE(rig.bounded);
  EXPECT_FALSE(rig.player.HasEndPoint());

  // An end point of 0 is accepted, but its end cannot be set: playback is not bounded.
  EXPECT_TRUE(rig.player.SetEndPoint(0));
  EXPECT_EQ(rig.player.Seek(kRate * 5, kUnitBytes), 0);
}

}  // namespace
}  // namespace snipora::test
