#include "tests/app/main_dialog_fixture.h"

namespace snipora::test {
namespace {

constexpr uint32_t kSecond = 176400;  // bytes of 44100 Hz 16-bit stereo

class PlayModesTest : public MainDialogTest {
 protected:
  // Lets playback run until the player stops by itself (at most `limit`).
  void PlayUntilStopped(uint32_t limit) {
    for (uint32_t played = 0; dlg->IsPlaying() && played < limit; played += kSecond / 10)
      PlayFor(kSecond / 10);
    ASSERT_FALSE(dlg->IsPlaying());
  }
  void ExpectStoppedAt(uint32_t bytes) {
    EXPECT_FALSE(dlg->IsPlaying());
    EXPECT_FALSE(dlg->IsTimerRunning(2));
    EXPECT_EQ(Text(1023), "再生");
    EXPECT_EQ(Bytes(), bytes);
  }
};

TEST_F(PlayModesTest, BetweenMarkersPlaysFromTheSmallerToTheLargerMarkerAndStops) {
  StartWithSong(10);
  MarkAt(1, 3 * kSecond);
  MarkAt(2, 1 * kSecond);
  SeekBytes(8 * kSecond);
  Click(1028);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_TRUE(dlg->IsTimerRunning(2));
  EXPECT_FALSE(Enabled(1038));
  EXPECT_FALSE(Enabled(1037));
  EXPECT_FALSE(Enabled(1028));  // disabled while playing
  EXPECT_EQ(Bytes(), kSecond);
  PlayUntilStopped(4 * kSecond);
  ExpectStoppedAt(3 * kSecond);
  EXPECT_TRUE(Enabled(1038));
  EXPECT_FALSE(dlg->Player().HasEndPoint());
}

TEST_F(PlayModesTest, OneMarkerBeforeThePositionPlaysNothing) {
  StartWithSong(10);
  MarkAt(1, 2 * kSecond);
  SeekBytes(4 * kSecond);
  dlg->PlayBetweenMarkers();
  dlg->PlayToMarker();
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_EQ(Bytes(), 4 * kSecond);
}

TEST_F(PlayModesTest, ToMarkerPlaysFromThePositionToTheNextMarker) {
  StartWithSong(30);
  MarkAt(1, 20 * kSecond);
  MarkAt(2, 10 * kSecond);
  SeekBytes(15 * kSecond);
  Click(1037);
  EXPECT_EQ(Bytes(), 15 * kSecond);
  PlayUntilStopped(6 * kSecond);
  ExpectStoppedAt(20 * kSecond);
  EXPECT_TRUE(Enabled(1038));
}

TEST_F(PlayModesTest, TwoSecondsBeforeAMarkerStartsAtTheDataStartWhenCloser) {
  StartWithSong(10);
  MarkAt(1, kSecond);
  SeekBytes(5 * kSecond);
  Click(1038);
  EXPECT_EQ(Bytes(), 0u);
  PlayUntilStopped(2 * kSecond);
  ExpectStoppedAt(kSecond);

  MarkAt(2, 6 * kSecond);
  Click(1038);  // the larger marker: from 4 s
  EXPECT_EQ(Bytes(), 4 * kSecond);
  EXPECT_TRUE(dlg->IsPlaying());
}

TEST_F(PlayModesTest, AStepDuringBoundedPlaybackEndsTheBound) {
  StartWithSong(10);
  MarkAt(1, 2 * kSecond);
  SeekBytes(0);
  Click(1028);
  ASSERT_FALSE(Enabled(1038));
  Click(1006);  // +1 ms
  EXPECT_TRUE(Enabled(1038));
  EXPECT_FALSE(dlg->Player().HasEndPoint());
  PlayFor(3 * kSecond);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_GT(Bytes(), 2 * kSecond);
}

TEST_F(PlayModesTest, StopDuringBoundedPlaybackEndsTheBound) {
  StartWithSong(10);
  MarkAt(1, 2 * kSecond);
  SeekBytes(0);
  Click(1028);
  Click(1023);
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_TRUE(Enabled(1038));
  EXPECT_FALSE(dlg->Player().HasEndPoint());
}

TEST_F(PlayModesTest, LoopStartsItsLeadInBeforeTheLoopEnd) {
  StartWithSong(40);
  MarkAt(1, 10 * kSecond);
  MarkAt(2, 30 * kSecond);
  SeekBytes(0);
  Click(1039);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_EQ(Text(1023), "停止");
  EXPECT_EQ(Bytes(), 25 * kSecond);
  EXPECT_TRUE(dlg->Player().State() & CDS_LOOP);
  // Playback wraps from the loop's end back to its start.
  PlayFor(6 * kSecond);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_GE(Bytes(), 10 * kSecond);
  EXPECT_LT(Bytes(), 12 * kSecond);
  Click(1023);  // stopping leaves loop mode
  EXPECT_FALSE(dlg->Player().State() & CDS_LOOP);

  ASSERT_EQ(dlg->Player().SetSpeedPercent(50), 0);
  Click(1039);
  EXPECT_EQ(Bytes(), 27 * kSecond + kSecond / 2);
}

TEST_F(PlayModesTest, LoopShorterThanASecondShows109) {
  StartWithSong(10);
  MarkAt(1, 2 * kSecond);
  MarkAt(2, 2 * kSecond + kSecond / 2);
  Click(1039);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{109});
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_FALSE(dlg->IsTimerRunning(2));
  // The lead-in seek moved the player to the start: the display follows.
  EXPECT_EQ(Bytes(), 0u);
  EXPECT_EQ(Text(1032), "0\n0");
  EXPECT_EQ(Slider()->value(), 0);
}

TEST_F(PlayModesTest, PlainPlaybackStopsAtTheEndOfTheData) {
  StartWithSong(2);
  SeekBytes(kSecond);
  Click(1023);
  PlayUntilStopped(3 * kSecond);
  ExpectStoppedAt(2 * kSecond);
}

}  // namespace
}  // namespace snipora::test
