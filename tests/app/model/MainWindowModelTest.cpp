#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/model/main_window_model.h"
#include "app/model/main_window_view.h"
#include "resources/control_ids.h"
#include "resources/menu_template.h"

// The main window's control rules, driven by the sequences of operations its
// handlers perform, without any widget.
namespace snipora {
namespace {

constexpr uint32_t kSecond = 176400;  // bytes of 44100 Hz 16-bit stereo

SoundFormatInfo TenSecondsOfCdAudio() {
  SoundFormatInfo info;
  info.formatBlock.formatTag = 1;
  info.formatBlock.channels = 2;
  info.formatBlock.samplesPerSec = 44100;
  info.formatBlock.avgBytesPerSec = kSecond;
  info.formatBlock.blockAlign = 4;
  info.formatBlock.bitsPerSample = 16;
  info.dataSize = 10 * kSecond;
  info.lengthMs = 10000;
  return info;
}

// One thing a handler of the window does to the model.
struct Op {
  enum Kind { Seek, Mark1, Mark2, Add, Select, Remove, ReadBack, Play, PlayBounded, Stop } kind;
  uint32_t arg = 0;  // Seek: bytes; Select: row (-1 none)
};

void Apply(CMainWindowModel& model, const Op& op) {
  const uint32_t position = model.PlayerBytes();
  switch (op.kind) {
    case Op::Seek:
      // A seek ends bounded playback, as the player's contract says.
      model.SetBoundedPlayback(false);
      model.SetPlayerPosition(op.arg);
      break;
    case Op::Mark1:
    case Op::Mark2:
      model.ToggleMarker(op.kind == Op::Mark1 ? 1 : 2, position);
      break;
    case Op::Add:
      model.AddReservation(position);
      break;
    case Op::Select:
      model.SelectRow(static_cast<int>(op.arg));
      break;
    case Op::Remove:
      model.RemoveSelectedRows();
      break;
    case Op::ReadBack:
      model.ReadSelectedRow();
      break;
    case Op::Play:
      model.SetPlaying(true);
      break;
    case Op::PlayBounded:
      model.SetBoundedPlayback(true);
      model.SetPlaying(true);
      break;
    case Op::Stop:  // by the user or at the end point: the bound ends too
      model.SetPlaying(false);
      model.SetBoundedPlayback(false);
      break;
  }
}

// The buttons whose state follows markers, position, rows and play state.
const int kRuled[] = {
    kCtlAddReservation, kCtlPlayBetweenMarkers, kCtlMarker1GoTo,  kCtlRemoveReservation,
    kCtlMarker2GoTo,    kCtlReadReservation,    kCtlPlayToMarker, kCtlPlayTwoSecondsBeforeMarker,
    kCtlMarkerLoop};

std::set<int> EnabledRuled(const MainWindowView& view) {
  std::set<int> enabled;
  for (int id : kRuled) {
    if (view.controls.at(id).enabled) enabled.insert(id);
  }
  return enabled;
}

TEST(MainWindowModel, ControlStatesFollowMarkersPositionRowsAndPlayState) {
  const Op seek2{Op::Seek, 2 * kSecond}, seek4{Op::Seek, 4 * kSecond};
  const Op seek0{Op::Seek, 0}, seek5{Op::Seek, 5 * kSecond};
  const Op mark1{Op::Mark1}, mark2{Op::Mark2}, add{Op::Add}, row0{Op::Select, 0};
  struct Case {
    const char* name;
    std::vector<Op> ops;
    std::set<int> enabled;
  };
  const Case cases[] = {
      {"a file just opened", {}, {}},
      {"marker 1 at the position", {seek2, mark1}, {1026, 1029, 1038}},
      {"marker 1 ahead of the position", {seek4, mark1, seek2}, {1026, 1028, 1029, 1037, 1038}},
      {"both markers behind the position",
       {seek2, mark1, seek4, mark2, seek5},
       {1026, 1028, 1029, 1035, 1038, 1039}},
      {"clearing one of two markers", {seek2, mark1, seek4, mark2, mark1}, {1026, 1035, 1038}},
      {"clearing both markers", {seek2, mark1, seek4, mark2, mark1, mark2}, {}},
      {"adding from one marker moves it to the position, which refreshes 1028/1037",
       {seek4, mark1, seek2, add},
       {1026, 1029, 1038}},
      {"a highlighted row enables remove and read-back",
       {seek2, mark1, seek4, add, row0},
       {1026, 1029, 1030, 1036, 1038}},
      {"nothing highlighted disables them again",
       {seek2, mark1, seek4, add, row0, {Op::Select, static_cast<uint32_t>(-1)}},
       {1026, 1029, 1038}},
      {"removing the highlighted row leaves nothing highlighted",
       {seek2, mark1, seek4, add, row0, {Op::Remove}},
       {1026, 1029, 1038}},
      {"read-back sets both markers and every marker rule follows",
       {seek2, mark1, seek4, add, mark1, seek0, row0, {Op::ReadBack}},
       {1026, 1028, 1029, 1030, 1035, 1036, 1037, 1038, 1039}},
      {"plain playback disables only 1028",
       {seek4, mark1, seek0, {Op::Play}},
       {1026, 1029, 1037, 1038}},
      {"bounded playback disables 1028, 1037 and 1038",
       {seek4, mark1, seek0, {Op::PlayBounded}},
       {1026, 1029}},
      {"a seek during bounded playback ends the bound",
       {seek4, mark1, seek0, {Op::PlayBounded}, seek2},
       {1026, 1029, 1037, 1038}},
      {"the end of bounded playback after the marker was cleared enables nothing",
       {seek4, mark1, seek0, {Op::PlayBounded}, mark1, {Op::Stop}},
       {}},
  };
  for (const Case& c : cases) {
    CMainWindowModel model;
    model.OpenFile("/music/song.wav", "song", TenSecondsOfCdAudio());
    for (const Op& op : c.ops) Apply(model, op);
    EXPECT_EQ(EnabledRuled(DeriveMainWindowView(model)), c.enabled) << c.name;
  }
}

TEST(MainWindowModel, TextsFollowMarkersPlayStateAndDrag) {
  CMainWindowModel model;
  model.OpenFile("/music/song.wav", "song", TenSecondsOfCdAudio());
  model.SetPlayerPosition(kSecond);
  model.ToggleMarker(2, kSecond);
  model.SetPlaying(true);
  MainWindowView view = DeriveMainWindowView(model);
  EXPECT_EQ(view.title, "song - Snipora");
  EXPECT_EQ(view.controls[kCtlPlay].text, "停止");
  EXPECT_EQ(view.controls[kCtlMarker1Toggle].text, "付加");
  EXPECT_EQ(view.controls[kCtlMarker2Toggle].text, "消去");
  EXPECT_EQ(view.controls[kCtlMarker1Display].text, "0\n0");
  EXPECT_EQ(view.controls[kCtlMarker2Display].text, "1000\n44100");
  EXPECT_EQ(view.controls[kCtlLengthDisplay].text, "10000\n441000");
  EXPECT_EQ(view.controls[kCtlPositionDisplay].text, "1000\n44100");
  EXPECT_EQ(view.slider.value, 44100u);
  EXPECT_EQ(view.slider.lineStep, 44u);
  EXPECT_EQ(view.slider.pageStep, 11025u);

  // While dragged the display shows the slider; the slider is left alone.
  model.ShowDragPosition(66150);
  view = DeriveMainWindowView(model);
  EXPECT_EQ(view.controls[kCtlPositionDisplay].text, "1500\n66150");
  EXPECT_FALSE(view.slider.value.has_value());
}

// 6 GiB of 8-bit mono: more frames than Qt's int slider holds, so the slider
// counts steps of 4 frames; the displays keep the exact 64-bit frames.
TEST(MainWindowModel, SliderOfMoreThanInt32MaxFramesCountsWholeSteps) {
  SoundFormatInfo info;
  info.formatBlock = {1, 1, 8000, 8000, 1, 8, 0, {}};
  info.dataSize = uint64_t{6} << 30;
  info.lengthMs = static_cast<int32_t>(info.dataSize / 8);
  CMainWindowModel model;
  model.OpenFile("/music/long.wav", "long", info);
  model.SetPlayerPosition(info.dataSize - 5);
  MainWindowView view = DeriveMainWindowView(model);
  EXPECT_EQ(view.slider.frameShift, 2u);
  EXPECT_EQ(view.slider.maximum, (uint64_t{6} << 30) / 4);
  EXPECT_EQ(view.slider.value, ((uint64_t{6} << 30) - 5) / 4);
  EXPECT_EQ(view.controls[kCtlLengthDisplay].text, "805306368\n6442450944");
}

TEST(MainWindowModel, FadeLengthFollowsTheFadeCheckBox) {
  struct Case {
    uint16_t bits;
    uint32_t decoderType;
    bool fade;
  };
  // Every plain sample width fades, and FLAC's decoded samples; data that only
  // the player's decoder module reads does not.
  for (const Case& c : {Case{8, 0, true}, Case{16, 0, true}, Case{24, 0, true},
                        Case{16, kFlacDecoderType, true}, Case{16, 1, false}}) {
    SoundFormatInfo format = TenSecondsOfCdAudio();
    format.formatBlock.bitsPerSample = c.bits;
    format.formatBlock.blockAlign = static_cast<uint16_t>(2 * c.bits / 8);
    format.decoderType = c.decoderType;
    CMainWindowModel model;
    model.OpenFile("/a.wav", "a", format);
    const MainWindowView view = DeriveMainWindowView(model);
    EXPECT_EQ(view.controls.at(kCtlFadeOut).enabled, c.fade) << c.bits << " " << c.decoderType;
    EXPECT_EQ(view.controls.at(kCtlFadeLength).enabled, c.fade) << c.bits << " " << c.decoderType;
  }
}

TEST(MainWindowModel, TheFileLoopCommandNeedsALoopOfTheOpenFile) {
  CMainWindowModel model;
  model.OpenFile("/a.wav", "a", TenSecondsOfCdAudio());
  EXPECT_FALSE(DeriveMainWindowView(model).commands.at(kCmdMarkersFromFileLoop));
  model.SetFileLoop({4000, 8000});
  EXPECT_TRUE(DeriveMainWindowView(model).commands.at(kCmdMarkersFromFileLoop));
  model.OpenFile("/b.wav", "b", TenSecondsOfCdAudio());  // another file has no loop yet
  EXPECT_FALSE(DeriveMainWindowView(model).commands.at(kCmdMarkersFromFileLoop));
}

TEST(MainWindowModel, RowsReadAsExportReadsThem) {
  CMainWindowModel model;
  model.OpenFile("/music/song.wav", "song", TenSecondsOfCdAudio());
  model.ToggleMarker(1, 0);
  for (uint32_t s = 1; s <= 2; ++s) ASSERT_TRUE(model.AddReservation(s * kSecond + 4));
  model.SetRowLabel(1, "Verse");
  EXPECT_EQ(model.RowText(1, 0), "1000");
  EXPECT_EQ(model.RowText(1, 1), "44101");
  EXPECT_EQ(model.RowText(1, 2), "88201");
  EXPECT_EQ(model.RowText(1, 3), "Verse");
  model.SelectRow(5);  // no such row
  EXPECT_EQ(model.SelectedRow(), -1);
}

}  // namespace
}  // namespace snipora
