// Playback through a decoder module: reading, seeking and loop restarts that make the
// module restart before the wanted frame, and decoder failures.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

constexpr uint32_t kType = 5;
constexpr uint32_t kRate = 32000;  // 8 kHz 16-bit stereo
constexpr uint32_t kHeader = 16;
constexpr uint8_t kKey = 0x5A;

struct ModuleLog {
  std::vector<DecoderSeekRequest> seeks;
  int destroyed = 0;
  int endDecodes = 0;
  int decodeCalls = 0;
  int failDecodeAfter = -1;  // decode calls before Decode fails; -1 never
  bool failSeek = false;
  bool failAttach = false;
  bool wantSmallerLimit = false;  // Decode keeps asking for a smaller limit
};

// "Decodes" files of the form "XORM", channels, rate (u32 each) followed by 16-bit PCM
// XOR 0x5A. It can restart decoding only at multiples of 1000 frames.
class XorModule : public Cdeclib {
 public:
  XorModule(ModuleLog& log, uint32_t type) : log_(log), type_(type) {}
  ~XorModule() override { ++log_.destroyed; }

  const char* GetInfo(int, int*) override { return "xor"; }
  int Attach(void* a, void* b) override { return log_.failAttach ? -1 : Cdeclib::Attach(a, b); }
  uint32_t GetType() override { return type_; }
  int ReadHeader(CSectorFile& file, SoundFormatInfo& info) override {
    char magic[4];
    if (file.Read(magic, 4, 1) != 1 || std::memcmp(magic, "XORM", 4) != 0) return -1;
    const uint32_t channels = file.ReadU32();
    const uint32_t rate = file.ReadU32();
    info = SoundFormatInfo();
    info.decoderType = type_;
    info.dataOffset = kHeader;
    info.dataSize = file.GetSize() - kHeader;
    info.channels = static_cast<int16_t>(channels);
    info.sampleRate = rate;
    WaveFormatBlock& block = info.formatBlock;
    block.formatTag = 0x555;
    block.channels = static_cast<uint16_t>(channels);
    block.samplesPerSec = rate;
    block.blockAlign = static_cast<uint16_t>(channels * 2);
    block.avgBytesPerSec = rate * block.blockAlign;
    block.bitsPerSample = 16;
    info.lengthFrames = info.dataSize / block.blockAlign;
    info.lengthMs = static_cast<int32_t>(uint64_t{info.dataSize} * 1000 / block.avgBytesPerSec);
    return 0;
  }
  int SeekSource(DecoderSeekRequest& request, CSectorFile& file, SoundFormatInfo& info) override {
    log_.seeks.push_back(request);
    if (log_.failSeek) return -1;
    request.frame = request.frame / 1000 * 1000;
    request.offset = kHeader + request.frame * info.formatBlock.blockAlign;
    return file.SeekLarge(request.offset) == 0 ? 0 : -1;
  }
  int Decode(CRingBuffer& input, CRingBuffer& output, uint32_t limit) override {
    ++log_.decodeCalls;
    if (log_.failDecodeAfter >= 0 && log_.decodeCalls > log_.failDecodeAfter) return -1;
    if (log_.wantSmallerLimit) return 2;
    uint8_t piece[4096];
    uint32_t room =
        limit > output.Count() ? std::min(limit - output.Count(), output.FreeSpace()) : 0;
    while (input.Count() != 0 && room != 0) {
      const uint32_t n = std::min({input.Count(), room, uint32_t{sizeof(piece)}});
      input.Pop(piece, n);
      for (uint32_t i = 0; i < n; ++i) piece[i] ^= kKey;
      output.Push(piece, n);
      room -= n;
    }
    return input.Count() == 0 ? 1 : 0;
  }
  int EndDecode() override {
    ++log_.endDecodes;
    return 0;
  }

 private:
  ModuleLog& log_;
  uint32_t type_;
};

class DecoderModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pcm_ = Noise16(kRate * 20, 5);  // more than one decoder input chunk
    Bytes file(kHeader);
    std::memcpy(file.data(), "XORM", 4);
    const uint32_t channels = 2, rate = 8000;
    std::memcpy(file.data() + 4, &channels, 4);
    std::memcpy(file.data() + 8, &rate, 4);
    for (const uint8_t b : pcm_) file.push_back(b ^ kKey);
    path_ = dir_.File("noise.xor");
    WriteFileBytes(path_, file);
    rig_.player.SetOptions(CDS_NOTIFY_STOP | CDS_NOTIFY_ERROR);
    ASSERT_EQ(rig_.player.AddDecoderModule(new XorModule(log_, kType), 1), 0);
  }

  bool HeardIs(uint32_t from) const {
    const Bytes& heard = rig_.device.Heard();
    return heard.size() <= pcm_.size() - from &&
           std::equal(heard.begin(), heard.end(), pcm_.begin() + from);
  }

  TempDir dir_;
  Bytes pcm_;
  std::string path_;
  ModuleLog log_;
  PlayerRig rig_;
};

TEST_F(DecoderModuleTest, PlaysTheDecodedDataToTheEnd) {
  for (const bool estimate : {false, true}) {
    SCOPED_TRACE(estimate ? "with the opening estimate" : "without the opening estimate");
    rig_.player.SetOptions(CDS_NOTIFY_STOP | (estimate ? CDS_OPENVOLUMEMAXIMIZE : 0));
    log_.seeks.clear();
    rig_.device.ClearHeard();
    rig_.notifications.clear();
    ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
    const uint32_t frames = static_cast<uint32_t>(pcm_.size() / 4);
    if (estimate) {
      ASSERT_EQ(log_.seeks.size(), 3u);
      for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(log_.seeks[i].frame, frames / 4 * (i + 1));
      EXPECT_EQ(rig_.player.GetSoftwareVolume(), 100);
    }
    ASSERT_EQ(rig_.player.Play(kPlayNormal), 0);
    rig_.Run(6400, 400);
    ASSERT_FALSE(rig_.player.IsPlaying());
    const Bytes& heard = rig_.device.Heard();
    ASSERT_GE(heard.size(), pcm_.size());
    EXPECT_TRUE(std::equal(pcm_.begin(), pcm_.end(), heard.begin()));
    EXPECT_EQ(rig_.notifications, std::vector<int>{kNotifyStopped});
    EXPECT_EQ(rig_.player.GetPosition(kUnitBytes), pcm_.size());
  }
  const int ends = log_.endDecodes;
  ASSERT_EQ(rig_.player.Close(), 0);
  EXPECT_EQ(log_.endDecodes, ends + 1);
}

TEST_F(DecoderModuleTest, SeekDiscardsWhatTheModuleDecodesBeforeTheTarget) {
  ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
  struct Case {
    uint32_t position;
    int unit;
    uint32_t requestedFrame;
    uint32_t heardFrom;
  };
  const Case cases[] = {
      // A byte position reaches the module as the frame it lies in, exactly.
      {100806, kUnitBytes, 25201, 100804},
      {1234, kUnitMilliseconds, 9872, 39488},
      {30001, kUnitSamples, 30001, 120004},
  };
  for (const Case& c : cases) {
    log_.seeks.clear();
    rig_.device.ClearHeard();
    ASSERT_EQ(rig_.player.Seek(c.position, c.unit), 0);
    ASSERT_EQ(log_.seeks.size(), 1u);
    EXPECT_EQ(log_.seeks[0].frame, c.requestedFrame);
    EXPECT_EQ(rig_.player.GetPosition(kUnitBytes), c.heardFrom);
    ASSERT_EQ(rig_.player.Play(kPlayNormal), 0);
    rig_.Run(6400, 20);
    ASSERT_EQ(rig_.player.Stop(), 0);
    EXPECT_EQ(rig_.device.Heard().size(), 20u * 6400);
    EXPECT_TRUE(HeardIs(c.heardFrom)) << c.position;
  }
}

TEST_F(DecoderModuleTest, LoopRestartThroughTheModuleIsSampleExact) {
  ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
  const uint32_t a = 48004, b = kRate * 5, start = b - kRate;
  ASSERT_EQ(rig_.player.Seek(start, kUnitBytes), 0);
  ASSERT_EQ(rig_.player.SetLoop(a, b, kUnitBytes), 0);
  ASSERT_EQ(rig_.player.Play(kPlayLoop), 0);
  log_.seeks.clear();
  rig_.Run(6400, 200);
  ASSERT_TRUE(rig_.player.IsPlaying());
  ASSERT_GE(log_.seeks.size(), 3u);
  EXPECT_EQ(log_.seeks[0].frame, a / 4);
  const Bytes& heard = rig_.device.Heard();
  for (size_t i = 0; i < heard.size(); i += 4) {
    const uint32_t source = start + i < b ? start + i : a + (start + i - b) % (b - a);
    ASSERT_TRUE(std::equal(heard.begin() + i, heard.begin() + i + 4, pcm_.begin() + source))
        << "heard byte " << i;
  }
}

TEST_F(DecoderModuleTest, DecoderFailuresStopCloseAndNotify) {
  struct Case {
    const char* what;
    int failDecodeAfter;
    bool failSeek;
    bool wantSmallerLimit;
    bool loop;
  };
  const Case cases[] = {
      {"decode fails while playing", 0, false, false, false},
      {"decoder wants ever smaller chunks", -1, false, true, false},
      {"seek fails at the loop restart", -1, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log_ = ModuleLog();
    rig_.notifications.clear();
    ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
    if (c.loop) {
      ASSERT_EQ(rig_.player.SetLoop(0, kRate * 2, kUnitBytes), 0);
    }
    log_.decodeCalls = 0;
    log_.failDecodeAfter = c.failDecodeAfter;
    log_.failSeek = c.failSeek;
    log_.wantSmallerLimit = c.wantSmallerLimit;
    // The loop restart is queued at once, so that Play itself fails there.
    EXPECT_EQ(rig_.player.Play(c.loop ? kPlayLoop : kPlayNormal), c.loop ? kPlayerBadState : 0);
    rig_.Run(6400, 100);
    EXPECT_FALSE(rig_.player.IsPlaying());
    EXPECT_FALSE(rig_.player.IsOpen());
    EXPECT_FALSE(rig_.timers.IsRunning(1));
    EXPECT_EQ(rig_.notifications, std::vector<int>{kNotifyDecoderError});
    EXPECT_EQ(rig_.player.OnTimer(), kPlayerBadState);
  }
  // A decode failing during a seek, while discarding up to the target (1234 ms) or
  // refilling from a frame the module restarts at (1000 ms): -3, stopped and closed.
  for (const uint32_t ms : {1234u, 1000u}) {
    SCOPED_TRACE(ms);
    log_ = ModuleLog();
    ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
    ASSERT_EQ(rig_.player.Play(kPlayNormal), 0);
    log_.failDecodeAfter = log_.decodeCalls;
    EXPECT_EQ(rig_.player.Seek(ms, kUnitMilliseconds), kPlayerBadState);
    EXPECT_FALSE(rig_.player.IsPlaying());
    EXPECT_FALSE(rig_.player.IsOpen());
    EXPECT_FALSE(rig_.device.IsPlaying());
    EXPECT_FALSE(rig_.timers.IsRunning(1));
  }
  // A failing seek: -7, stopped and closed.
  log_ = ModuleLog();
  ASSERT_EQ(rig_.player.Open(path_.c_str()), 0);
  ASSERT_EQ(rig_.player.Play(kPlayNormal), 0);
  log_.failSeek = true;
  EXPECT_EQ(rig_.player.Seek(1000, kUnitMilliseconds), kPlayerSeekFailed);
  EXPECT_FALSE(rig_.player.IsPlaying());
  EXPECT_FALSE(rig_.player.IsOpen());
}

TEST(DecoderModuleRegistrationTest, RefusesDestroysAndOrdersModules) {
  ModuleLog log;
  TestSoundDevice device;
  {
    CMainPlayer player(device);
    EXPECT_EQ(player.AddDecoderModule(new XorModule(log, 5), 1), kPlayerBadState);  // not attached
    EXPECT_EQ(log.destroyed, 1);
    ManualTimerHost timers;
    ASSERT_EQ(player.Attach(&timers, 1, 1), 0);
    auto* first = new XorModule(log, 5);
    ASSERT_EQ(player.AddDecoderModule(first, 1), 0);
    EXPECT_EQ(player.AddDecoderModule(new XorModule(log, 5), 1), kPlayerBadState);  // same type
    EXPECT_EQ(log.destroyed, 2);
    auto* plain = new XorModule(log, 0);
    ASSERT_EQ(player.AddDecoderModule(plain, 1), 0);
    ASSERT_EQ(player.AddDecoderModule(new XorModule(log, 0), 1), 0);  // type 0 may repeat
    auto* head = new XorModule(log, 7);
    ASSERT_EQ(player.AddDecoderModule(head, 2), 0);
    EXPECT_EQ(player.FirstDecoderModule(), head);
    EXPECT_EQ(head->next, first);
    EXPECT_EQ(first->next, plain);
    EXPECT_NE(first->value1, nullptr) << "scratch buffers handed over";
    log.failAttach = true;
    EXPECT_EQ(player.AddDecoderModule(new XorModule(log, 9), 1), kPlayerBadState);
    EXPECT_EQ(log.destroyed, 3);
  }
  EXPECT_EQ(log.destroyed, 7) << "the player destroys the modules it owns";
}

}  // namespace
}  // namespace snipora::test
