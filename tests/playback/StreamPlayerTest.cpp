// Streaming at normal and stepped speeds: what is heard, software gain, re-transfer,
// the end of the data and samples of every width.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "tests/export/fade_reference.h"
#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

constexpr uint32_t kCdStereoRate = 176400;

class StreamPlayerTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, uint16_t channels, uint32_t rate, uint16_t bits,
                    const Bytes& data) {
    const std::string path = dir_.File(name);
    WriteFileBytes(path, MakeWave(channels, rate, bits, data));
    return path;
  }

  TempDir dir_;
};

TEST_F(StreamPlayerTest, HeardBytesEqualSourceFromSeekPointThroughWrapsToTheEnd) {
  // Eight seconds: the 1 MiB buffer wraps several times.
  const Bytes data = Noise16(kCdStereoRate * 8, 7);
  const std::string path = Write("noise.wav", 2, 44100, 16, data);
  for (const bool rewind : {false, true}) {
    SCOPED_TRACE(rewind ? "with CDS_REWIND" : "without CDS_REWIND");
    PlayerRig rig;
    rig.player.SetOptions(CDS_NOTIFY_STOP | CDS_NOTIFY_DATAEND | (rewind ? CDS_REWIND : 0));
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    const uint32_t seekPoint = kCdStereoRate + 1000;
    ASSERT_EQ(rig.player.Seek(seekPoint, kUnitBytes), 0);
    EXPECT_EQ(rig.player.GetPosition(kUnitBytes), seekPoint);
    ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
    EXPECT_EQ(rig.timers.Period(1), 200u);

    // Irregular cursor steps of up to 60000 bytes between ticks.
    uint32_t random = 12345;
    uint32_t largestStep = 0;
    for (int tick = 0; tick < 5000 && rig.player.IsPlaying(); ++tick) {
      random = random * 1103515245 + 12345;
      const uint32_t step = ((random >> 8) % 60000) & ~3u;
      largestStep = std::max(largestStep, step);
      rig.device.MovePlayCursor(step);
      // The position is the byte being heard, also while the queue drains at the end.
      const uint64_t heard = seekPoint + rig.device.Heard().size();
      ASSERT_EQ(rig.player.GetPosition(kUnitBytes), std::min<uint64_t>(heard, data.size()));
      // Stopping and playing again resumes where the sound stopped.
      if (tick == 7) {
        ASSERT_EQ(rig.player.Stop(), 0);
        EXPECT_FALSE(rig.device.MovePlayCursor(4));
        ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
      }
      rig.player.OnTimer();
    }
    ASSERT_FALSE(rig.player.IsPlaying());
    const Bytes& heard = rig.device.Heard();
    const size_t real = data.size() - seekPoint;
    ASSERT_GE(heard.size(), real);
    const auto mismatch = std::mismatch(data.begin() + seekPoint, data.end(), heard.begin());
    EXPECT_EQ(mismatch.first, data.end())
        << "first difference at heard byte " << (mismatch.second - heard.begin());
    // After the last real byte only silence, and at most about one tick of it.
    EXPECT_TRUE(std::all_of(heard.begin() + real, heard.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_LE(heard.size() - real, 2 * size_t{largestStep});
    EXPECT_EQ(rig.notifications, (std::vector<int>{kNotifyDataEnd, kNotifyStopped}));
    EXPECT_FALSE(rig.timers.IsRunning(1));
    EXPECT_FALSE(rig.device.IsPlaying());
    EXPECT_EQ(rig.player.GetPosition(kUnitBytes), rewind ? 0u : data.size());
  }
}

TEST_F(StreamPlayerTest, SpeedSteppingMatchesReferenceGrid) {
  // 8 kHz so that 30 x three seconds of source stays small.
  for (const uint16_t channels : {1, 2}) {
    const uint32_t align = 2u * channels;
    const uint32_t rate = 8000 * align;
    const Bytes data = Noise16(rate * 100, channels);
    const std::string path = Write("speed.wav", channels, 8000, 16, data);
    for (const int32_t percent : {5, 37, 100, 250, 1000, 3000}) {
      SCOPED_TRACE(testing::Message() << channels << " channels at " << percent << " %");
      PlayerRig rig;
      ASSERT_EQ(rig.player.SetSpeedPercent(percent), 0);
      ASSERT_EQ(rig.player.Open(path.c_str()), 0);
      EXPECT_EQ(rig.player.GetSpeedPercent(), percent);

      // Open queued three seconds of playback time worth of source and wrote three
      // seconds of output, stepping by 8.24 `step` from a phase on the grid of the read
      // position. Reference: output frame k reads source frame
      // floor((phase0 + k * step) / 2^24), frame 0 reading frame 0.
      const uint64_t queued = uint64_t{3} * rate * percent / 100 / align * align;
      const uint64_t step = uint64_t{0x1000000} * percent / 100;
      const uint64_t phase0 = (step - ((queued << 24) / align) % step) % step;
      const Bytes& buffer = rig.device.Buffer();
      const uint64_t outputFrames = 3 * rate / align;
      uint64_t written = 0;
      for (uint64_t k = 0; k < outputFrames; ++k) {
        const uint64_t frame = k == 0 ? 0 : (phase0 + k * step) >> 24;
        if ((frame + 1) * align > queued) break;
        ASSERT_TRUE(std::equal(data.begin() + frame * align, data.begin() + (frame + 1) * align,
                               buffer.begin() + k * align))
            << "output frame " << k;
        ++written;
      }
      // Nothing beyond what the reference writes.
      EXPECT_TRUE(std::all_of(buffer.begin() + written * align, buffer.end(),
                              [](uint8_t b) { return b == 0; }));
      EXPECT_GT(written, outputFrames * 9 / 10);
    }
  }
}

TEST_F(StreamPlayerTest, GainTruncatesTowardZeroAndClampsToSymmetricRange) {
  struct Case {
    int16_t gain;
    int16_t in;
    int16_t out;
  };
  const Case cases[] = {
      {150, 3, 4},           {150, -3, -4},
      {150, 1, 1},           {150, -1, -1},
      {150, 21845, 32767},   {150, -21845, -32767},
      {150, 30000, 32767},   {150, -30000, -32767},
      {150, -32768, -32767}, {33, 3, 0},
      {33, -3, 0},           {33, -32768, -10813},
      {100, -32768, -32767}, {100, 32767, 32767},
      {0, 32767, 0},         {10000, 4, 400},
      {10000, -4, -400},     {10000, 328, 32767},
  };
  std::vector<int16_t> samples;
  for (const Case& c : cases) samples.push_back(c.in);
  const std::string path = Write("gain.wav", 1, 8000, 16, SamplesToBytes(samples));
  for (const int16_t gain : {150, 33, 100, 0, 10000}) {
    PlayerRig rig;
    ASSERT_EQ(rig.player.SetSoftwareVolume(gain), 0);
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    const std::vector<int16_t> out = BytesToSamples(rig.device.Buffer(), 0, samples.size());
    for (size_t i = 0; i < std::size(cases); ++i) {
      if (cases[i].gain != gain) continue;
      EXPECT_EQ(out[i], cases[i].out) << cases[i].in << " at " << gain << " %";
    }
  }
  PlayerRig rig;
  EXPECT_EQ(rig.player.SetSoftwareVolume(-1), kPlayerBadState);
  EXPECT_EQ(rig.player.SetSoftwareVolume(10001), kPlayerBadState);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 100);
}

// The kept margin is 50 ms, or wider for a device that takes more at once (twice the
// 20 ms the system device asks for would leave it 30 ms).
class RetransferTest : public StreamPlayerTest,
                       public ::testing::WithParamInterface<std::pair<uint32_t, uint32_t>> {};

INSTANTIATE_TEST_SUITE_P(DeviceTakeAhead, RetransferTest,
                         ::testing::Values(std::pair{0u, 8820u}, std::pair{20u, 8820u},
                                           std::pair{170u, 35280u}));

TEST_P(RetransferTest, KeepsTheMarginAheadOfTheCursorAndRewritesTheRest) {
  const Bytes data = Noise16(kCdStereoRate * 10, 11);
  const std::string path = Write("noise.wav", 2, 44100, 16, data);
  PlayerRig rig;
  rig.device.takeAheadMs = GetParam().first;
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(35280, 20);  // the writes have wrapped round the buffer
  const uint32_t cursor = rig.device.GetCurrentPosition();
  const uint32_t position = rig.player.GetPosition(kUnitBytes);
  const Bytes before = rig.device.Buffer();
  rig.device.ClearHeard();

  ASSERT_EQ(rig.player.SetSoftwareVolume(50), 0);

  const Bytes& after = rig.device.Buffer();
  const uint32_t kKept = GetParam().second;
  const auto at = [&](const Bytes& b, uint32_t i) { return b[(cursor + i) % b.size()]; };
  for (uint32_t i = 0; i < kKept; ++i) ASSERT_EQ(at(after, i), at(before, i)) << i;
  // Heard from now on: 50 ms as before, then the same stream at half the gain.
  rig.Run(35280, 10);
  const std::vector<int16_t> heard = BytesToSamples(rig.device.Heard());
  const std::vector<int16_t> source = BytesToSamples(data, position, heard.size());
  ASSERT_EQ(heard.size(), 10u * 35280 / 2);
  for (size_t i = 0; i < heard.size(); ++i) {
    const int16_t expected = i < kKept / 2 ? source[i] : static_cast<int16_t>(source[i] / 2);
    ASSERT_EQ(heard[i], expected) << "sample " << i;
  }
}

TEST_F(StreamPlayerTest, SpeedChangeWhilePlayingKeeps50MsAndThenStepsFromThere) {
  const Bytes data = Noise16(kCdStereoRate * 10, 13);
  const std::string path = Write("noise.wav", 2, 44100, 16, data);
  PlayerRig rig;
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(35280, 5);
  const uint32_t position = rig.player.GetPosition(kUnitBytes);
  ASSERT_EQ(position, kCdStereoRate);
  rig.device.ClearHeard();
  ASSERT_EQ(rig.player.SetSpeedPercent(200), 0);
  rig.Run(35280, 5);
  // One second of output: the kept 50 ms count as 50 ms at the new speed, so the
  // position has moved on by two seconds of source.
  EXPECT_EQ(rig.player.GetPosition(kUnitBytes), position + 2 * kCdStereoRate);
  const Bytes& heard = rig.device.Heard();
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 8820, data.begin() + position));
  // From then on every other source frame, starting within a frame of 100 ms on.
  const auto frameAt = [&](const Bytes& bytes, size_t frame) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + frame * 4, 4);
    return v;
  };
  const size_t first = (position + 17640) / 4;
  const size_t shift = frameAt(heard, 8820 / 4) == frameAt(data, first) ? 0 : 1;
  for (size_t k = 1; k < 1000; ++k) {
    ASSERT_EQ(frameAt(heard, 8820 / 4 + k), frameAt(data, first + shift + 2 * k)) << k;
  }
}

TEST_F(StreamPlayerTest, SixChannelFramesCutByBufferEndsStayWhole) {
  // 12-byte frames do not divide the 1 MiB buffer nor the queue's ring, so frames are
  // cut by both ends; 15 s wrap the buffer once.
  const Bytes data = Noise16(8000 * 12 * 15, 17);
  const std::string path = Write("six.wav", 6, 8000, 16, data);
  for (const int32_t percent : {100, 200}) {
    SCOPED_TRACE(testing::Message() << percent << " %");
    PlayerRig rig;
    ASSERT_EQ(rig.player.SetSpeedPercent(percent), 0);
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
    rig.Run(19200, 1000);
    ASSERT_FALSE(rig.player.IsPlaying());
    const Bytes& heard = rig.device.Heard();
    if (percent == 100) {
      ASSERT_GE(heard.size(), data.size());
      EXPECT_TRUE(std::equal(data.begin(), data.end(), heard.begin()));
      continue;
    }
    // Stepped: every frame heard is a whole source frame, later than the one before.
    size_t source = 0;
    for (size_t at = 0; at + 12 <= heard.size() && source + 12 <= data.size(); at += 12) {
      if (std::all_of(heard.begin() + at, heard.begin() + at + 12,
                      [](uint8_t b) { return b == 0; }))
        break;
      while (source + 12 <= data.size() &&
             !std::equal(heard.begin() + at, heard.begin() + at + 12, data.begin() + source)) {
        source += 12;
      }
      ASSERT_LT(source, data.size()) << "heard frame " << at / 12 << " is no source frame in order";
    }
    EXPECT_GT(source, data.size() * 9 / 10);
  }
}

// Samples other than 16-bit, with frames that the buffer and queue ends cut (18
// bytes) or not: at 100 % speed and gain every byte is the source's; at 200 % and
// gain 50 every other frame is heard, halved (integers truncated toward zero, 8-bit
// around 128, floats multiplied).
TEST_F(StreamPlayerTest, EveryWidthIsSteppedAndScaled) {
  const struct {
    uint16_t channels, bits;
    bool isFloat;
  } layouts[] = {{1, 8, false},  {2, 24, false}, {6, 24, false},
                 {2, 32, false}, {2, 32, true},  {1, 64, true}};
  for (const auto& l : layouts) {
    const uint32_t sampleBytes = l.bits / 8u;
    const uint32_t align = l.channels * sampleBytes;
    const Bytes data = SeededSamples(size_t{8000} * align * 3, sampleBytes, l.isFloat, align);
    const auto rate = static_cast<uint32_t>(8000 * align);
    const Bytes fmt = l.isFloat
                          ? FmtBody(3, l.channels, 8000, rate, static_cast<uint16_t>(align), l.bits)
                          : ExtensibleFmtBody(l.channels, 8000, l.bits, l.bits, 0, 1);
    const std::string path = dir_.File("wide.wav");
    WriteFileBytes(path, RiffWave({RiffChunk("fmt ", fmt), RiffChunk("data", data)}));
    for (const int32_t percent : {100, 200}) {
      SCOPED_TRACE(testing::Message() << l.channels << " x " << l.bits << " bits, float "
                                      << l.isFloat << ", " << percent << " %");
      PlayerRig rig;
      ASSERT_EQ(rig.player.SetSpeedPercent(percent), 0);
      ASSERT_EQ(rig.player.SetSoftwareVolume(static_cast<int16_t>(10000 / percent)), 0);
      ASSERT_EQ(rig.player.Open(path.c_str()), 0);
      ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
      rig.Run(align * 1600, 100);
      ASSERT_FALSE(rig.player.IsPlaying());
      const Bytes& heard = rig.device.Heard();
      if (percent == 100) {
        ASSERT_GE(heard.size(), data.size());
        EXPECT_TRUE(std::equal(data.begin(), data.end(), heard.begin()));
        EXPECT_EQ(heard[data.size()], l.bits == 8 ? 0x80 : 0) << "silence follows";
        continue;
      }
      // Every other frame, each sample halved: the reference scaling with the factor
      // that stands for 1/2.
      Bytes expected;
      for (size_t at = 0; at < data.size(); at += 2 * align) {
        expected.insert(expected.end(), data.begin() + at, data.begin() + at + align);
        for (size_t s = expected.size() - align; s < expected.size(); s += sampleBytes) {
          ReferenceFadeSample(&expected[s], sampleBytes, l.isFloat, 50000000);
        }
      }
      ASSERT_GE(heard.size(), expected.size());
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
    }
  }
}

// A file of no data bytes: looping over nothing plays nothing and stops, as
// normal playback does.
TEST_F(StreamPlayerTest, NoDataPlaysNothingAndStopsInEitherMode) {
  const std::string path = Write("empty.wav", 2, 44100, 16, Bytes{});
  for (const int mode : {kPlayNormal, kPlayLoop}) {
    SCOPED_TRACE(mode);
    PlayerRig rig;
    rig.player.SetOptions(CDS_NOTIFY_STOP);
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    ASSERT_EQ(rig.player.Play(mode), 0);
    rig.Run(35280, 10);
    EXPECT_FALSE(rig.player.IsPlaying());
    EXPECT_EQ(rig.notifications, std::vector<int>{kNotifyStopped});
    const Bytes& heard = rig.device.Heard();
    EXPECT_TRUE(std::all_of(heard.begin(), heard.end(), [](uint8_t b) { return b == 0; }));
  }
}

TEST_F(StreamPlayerTest, RefusalsOfSpeedPlayAndVolume) {
  PlayerRig rig;
  EXPECT_EQ(rig.player.SetSpeedPercent(4), kPlayerBadArgument);
  EXPECT_EQ(rig.player.SetSpeedPercent(3001), kPlayerBadArgument);
  EXPECT_EQ(rig.player.GetSpeedPercent(), 100);
  EXPECT_EQ(rig.player.Play(kPlayNormal), kPlayerBadState);  // nothing open
  EXPECT_EQ(rig.player.Play(3), kPlayerBadArgument);
  EXPECT_EQ(rig.player.Stop(), kPlayerBadState);
  EXPECT_EQ(rig.player.Close(), kPlayerBadState);
  EXPECT_EQ(rig.player.Attach(&rig.timers, 1, 1), kPlayerBadState);  // already attached
  // Without a buffer the device volume is only stored.
  EXPECT_EQ(rig.player.SetDirectSoundVolume(5), 0);
  EXPECT_EQ(rig.player.GetDirectSoundVolume(), 5);

  const std::string path = Write("short.wav", 2, 44100, 16, SeededBytes(kCdStereoRate, 1));
  EXPECT_EQ(rig.player.Open(dir_.File("missing.wav").c_str()), kPlayerBadFile);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  EXPECT_EQ(rig.device.Volume(), 0) << "the stored 5 is out of range and refused by the device";
  EXPECT_EQ(rig.player.SetDirectSoundVolume(1), kVolumeInvalidArgument);
  EXPECT_EQ(rig.player.SetDirectSoundVolume(-10001), kVolumeInvalidArgument);
  EXPECT_EQ(rig.player.SetDirectSoundVolume(-600), 0);
  EXPECT_EQ(rig.device.Volume(), -600);
  rig.device.volumeResult = -5;
  EXPECT_EQ(rig.player.SetDirectSoundVolume(-700), -5);
  EXPECT_EQ(rig.player.GetDirectSoundVolume(), -600);

  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  EXPECT_EQ(rig.player.Close(), kPlayerBadState);  // while playing
  EXPECT_EQ(rig.player.Open(path.c_str()), kPlayerBadState);
  ASSERT_EQ(rig.player.Stop(), 0);
  EXPECT_EQ(rig.player.Close(), 0);
  EXPECT_EQ(rig.player.GetPosition(kUnitBytes), kEndOfData);
}

TEST(StreamPlayerOpenTest, RefusesUnusableFilesAndMissingBufferLeavesPlayRefused) {
  TempDir dir;
  struct Case {
    const char* name;
    Bytes file;
    int expected;
  };
  Bytes fast = MakeWave(2, 44100, 16, SeededBytes(400, 1));
  const uint32_t tooFast = 0xA0001;  // average bytes per second
  std::memcpy(&fast[28], &tooFast, 4);
  // Float and extensible files may be faster, up to half a second per buffer.
  const Bytes fastFloat = RiffWave(
      {RiffChunk("fmt ", FmtBody(3, 2, 48000, 2 * 0xF3800 + 1, 8, 32)), RiffChunk("data", fast)});
  Bytes adpcm = MakeWave(1, 8000, 4, SeededBytes(400, 1));
  adpcm[20] = 17;  // IMA ADPCM: needs a module of type 1
  const Case cases[] = {
      {"text.wav", Bytes{'h', 'e', 'l', 'l', 'o'}, kPlayerBadFile},
      {"fast.wav", fast, kPlayerBadFile},
      {"fast-float.wav", fastFloat, kPlayerBadFile},
      {"adpcm.wav", adpcm, kPlayerBadFile},
      {"65 channels.wav", MakeWave(65, 4000, 16, SeededBytes(65 * 2 * 100, 1)), kPlayerBadFile},
      {"64 channels.wav", MakeWave(64, 4000, 16, SeededBytes(64 * 2 * 100, 1)), kPlayerOk},
  };
  for (const Case& c : cases) {
    PlayerRig rig;
    WriteFileBytes(dir.File(c.name), c.file);
    EXPECT_EQ(rig.player.Open(dir.File(c.name).c_str()), c.expected) << c.name;
    EXPECT_EQ(rig.player.IsOpen(), c.expected == kPlayerOk) << c.name;
  }
  // Not attached: no sound object.
  TestSoundDevice device;
  CMainPlayer unattached(device);
  WriteFileBytes(dir.File("ok.wav"), MakeWave(2, 44100, 16, SeededBytes(4000, 2)));
  EXPECT_EQ(unattached.Open(dir.File("ok.wav").c_str()), kPlayerBadState);
  // The buffer cannot be created: open, but Play refuses.
  PlayerRig rig;
  rig.device.refuseCreate = true;
  EXPECT_EQ(rig.player.Open(dir.File("ok.wav").c_str()), kPlayerBadState);
  EXPECT_TRUE(rig.player.IsOpen());
  EXPECT_EQ(rig.player.Play(kPlayNormal), kPlayerBadState);
}

}  // namespace
}  // namespace snipora::test
