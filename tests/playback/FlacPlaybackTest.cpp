// FLAC files played through the FLAC decoder module: what is heard is what the
// flac tool decodes, from any sample on, at any speed and round a loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "audiofile/flac_module.h"
#include "tests/playback/player_rig.h"
#include "tests/support/flac_files.h"

namespace snipora::test {
namespace {

class FlacPlaybackTest : public ::testing::Test {
 protected:
  void Make(const FlacShape& shape) {
    path_ = dir_.File("music.flac");
    std::string why;
    ASSERT_TRUE(MakeFlac(path_, shape, why)) << why;
    decoded_ = FlacToolSamples(path_);
    align_ = shape.channels * ((shape.bits + 7) / 8);
    rig_ = std::make_unique<PlayerRig>();
    rig_->player.SetOptions(CDS_NOTIFY_STOP | CDS_NOTIFY_ERROR);
    ASSERT_EQ(rig_->player.AddDecoderModule(new Cdeclib_flac, 1), 0);
  }

  // Whether what was heard is the decoded data from byte `from` on, source frames
  // `step` apart.
  bool HeardFrom(uint64_t from, uint32_t step = 1) const {
    const Bytes& heard = rig_->device.Heard();
    for (size_t i = 0; i + align_ <= heard.size(); i += align_) {
      const uint64_t source = from + i * step;
      if (source + align_ > decoded_.size()) return i > 0;
      if (!std::equal(heard.begin() + i, heard.begin() + i + align_, decoded_.begin() + source)) {
        return false;
      }
    }
    return !heard.empty();
  }

  TempDir dir_;
  std::string path_;
  Bytes decoded_;
  uint32_t align_ = 0;
  std::unique_ptr<PlayerRig> rig_;
};

TEST_F(FlacPlaybackTest, PlaysEveryFormatToTheEnd) {
  const FlacShape shapes[] = {{16, 2, 44100, 200000}, {24, 6, 48000, 60000}, {8, 1, 22050, 70000}};
  for (const FlacShape& shape : shapes) {
    SCOPED_TRACE(::testing::Message() << shape.bits << " bits, " << shape.channels << " ch");
    Make(shape);
    ASSERT_EQ(rig_->player.Open(path_.c_str()), 0);
    ASSERT_EQ(rig_->player.Play(kPlayNormal), 0);
    rig_->Run(align_ * shape.rate / 10, 400);
    ASSERT_FALSE(rig_->player.IsPlaying());
    const Bytes& heard = rig_->device.Heard();
    ASSERT_GE(heard.size(), decoded_.size());
    EXPECT_TRUE(std::equal(decoded_.begin(), decoded_.end(), heard.begin()));
    EXPECT_EQ(rig_->notifications, std::vector<int>{kNotifyStopped});
    ASSERT_EQ(rig_->player.Close(), 0);
  }
}

TEST_F(FlacPlaybackTest, SeeksToTheSampleAskedForAtAnySpeed) {
  Make({16, 2, 44100, 300000});
  ASSERT_EQ(rig_->player.Open(path_.c_str()), 0);
  struct Case {
    uint64_t position;
    int unit;
    uint64_t heardFrom;  // bytes
    uint32_t speed;
  };
  const Case cases[] = {
      {30001, kUnitSamples, 30001 * 4, 100},
      {100806, kUnitBytes, 100804, 100},  // inside frame 25201
      {1234, kUnitMilliseconds, 54419 * 4, 100},
      {4095, kUnitSamples, 4095 * 4, 300},    // the last sample of the first block
      {250001, kUnitSamples, 250001 * 4, 5},  // near the end, slowly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    ASSERT_EQ(rig_->player.SetSpeedPercent(c.speed), 0);
    rig_->device.ClearHeard();
    ASSERT_EQ(rig_->player.Seek(c.position, c.unit), 0);
    EXPECT_EQ(rig_->player.GetPosition(kUnitBytes), c.heardFrom);
    ASSERT_EQ(rig_->player.Play(kPlayNormal), 0);
    rig_->Run(8820, 20);
    ASSERT_EQ(rig_->player.Stop(), 0);
    // Every speed steps through the source frames; 5 % repeats each about 20 times.
    const uint32_t step = c.speed == 300 ? 3 : 1;
    if (c.speed == 5) {
      const Bytes& heard = rig_->device.Heard();
      ASSERT_GE(heard.size(), 8u);
      EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 4, decoded_.begin() + c.heardFrom));
    } else {
      EXPECT_TRUE(HeardFrom(c.heardFrom, step));
    }
  }
}

TEST_F(FlacPlaybackTest, LoopRestartIsSampleExact) {
  Make({16, 2, 44100, 300000});
  ASSERT_EQ(rig_->player.Open(path_.c_str()), 0);
  const uint64_t a = 48004 * 4 + 4 * 4097, b = 176400 * 3 + 4 * 11, start = b - 176400;
  ASSERT_EQ(rig_->player.Seek(start, kUnitBytes), 0);
  ASSERT_EQ(rig_->player.SetLoop(a, b, kUnitBytes), 0);
  ASSERT_EQ(rig_->player.Play(kPlayLoop), 0);
  rig_->Run(6400, 300);
  ASSERT_TRUE(rig_->player.IsPlaying());
  const Bytes& heard = rig_->device.Heard();
  ASSERT_GT(heard.size(), 2 * (b - a));
  for (size_t i = 0; i < heard.size(); i += 4) {
    const uint64_t source = start + i < b ? start + i : a + (start + i - b) % (b - a);
    ASSERT_TRUE(std::equal(heard.begin() + i, heard.begin() + i + 4, decoded_.begin() + source))
        << "heard byte " << i;
  }
}

TEST_F(FlacPlaybackTest, DamageFoundWhilePlayingStopsAndCloses) {
  Make({16, 2, 44100, 600000});
  Bytes bytes = ReadFileBytes(path_);
  for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i) bytes[i] ^= 0x5A;
  WriteFileBytes(path_, bytes);
  ASSERT_EQ(rig_->player.Open(path_.c_str()), 0) << "the header and the last frame are sound";
  ASSERT_EQ(rig_->player.Play(kPlayNormal), 0);
  rig_->Run(17640, 400);
  EXPECT_FALSE(rig_->player.IsPlaying());
  EXPECT_FALSE(rig_->player.IsOpen());
  EXPECT_EQ(rig_->notifications, std::vector<int>{kNotifyDecoderError});
  const Bytes& heard = rig_->device.Heard();
  EXPECT_LT(heard.size(), decoded_.size());
  // Up to where the damage was found, and nothing after it but silence.
  const auto sound = std::find_if(heard.rbegin(), heard.rend(), [](uint8_t b) { return b != 0; });
  const size_t soundBytes = static_cast<size_t>(heard.rend() - sound) / 4 * 4;
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + soundBytes, decoded_.begin()));
}

}  // namespace
}  // namespace snipora::test
