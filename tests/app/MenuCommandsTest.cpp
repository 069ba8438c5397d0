#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <filesystem>

#include <functional>
#include "app/status_line.h"

#include "audiofile/sample_loops.h"
#include "playback/dialogs/speed_dialog.h"
#include "playback/dialogs/volume_dialog.h"
#include "playback/player_flags.h"
#include "tests/app/main_dialog_fixture.h"

// The menu commands that run the save, volume and speed dialogs, the volume dialog's live display
// and the volume settings kept between runs.
namespace snipora::test {
namespace {

template <class Widget>
Widget* Find(QWidget& dialog, int id) {
  auto* widget = dialog.findChild<Widget*>(QString::number(id));
  EXPECT_NE(widget, nullptr) << id;
  return widget;
}

QString LabelText(QWidget& dialog, int id) {
  return Find<QLabel>(dialog, id)->text();
}

class MenuCommandsTest : public MainDialogTest {
 protected:
  static constexpr uint32_t kHeaderBytes = 46;

  // Opens a one-second song in its own folder and reserves [0, a) and [a, b)
  // with marker 1 (bytes).
  void StartWithTwoReservations(const std::string& folder, uint32_t a, uint32_t b) {
    StartWith(Sounds().Sine(folder + "/song.wav", 1));
    MarkAt(1, 0);
    SeekBytes(a);
    Click(1026);
    SeekBytes(b);
    Click(1026);
    ASSERT_EQ(dlg->ReservationCount(), 2);
    ASSERT_TRUE(dlg->HasUnsavedReservations());
  }
  // The written file is a 46-byte header followed by the source's bytes [from, to).
  void ExpectPiece(const std::string& path, uint32_t from, uint32_t to) {
    const auto source = ReadFileBytes(dlg->FullPath());
    const auto piece = ReadFileBytes(path);
    ASSERT_EQ(piece.size(), kHeaderBytes + (to - from)) << path;
    const auto data = source.begin() + dlg->FormatInfo().dataOffset;
    EXPECT_TRUE(std::equal(piece.begin() + kHeaderBytes, piece.end(), data + from, data + to))
        << path;
    EXPECT_EQ(GetU32(piece, 42), to - from) << path;
  }
  void SetJoin(bool join) { qobject_cast<QCheckBox*>(dlg->Control(1043))->setChecked(join); }
};

TEST_F(MenuCommandsTest, SaveSplitsIntoTheFolderNamedAfterTheSource) {
  StartWithTwoReservations("save-split", 4000, 10000);
  dlg->OnMenuSave();
  const std::string folder = std::filesystem::path(dlg->FullPath()).parent_path() / "song";
  ExpectPiece(folder + "/01.wav", 0, 4000);
  ExpectPiece(folder + "/02.wav", 4000, 10000);
  EXPECT_FALSE(dlg->HasUnsavedReservations());
  EXPECT_TRUE(ui.asked.empty());

  // The status line names the count and the folder; its link opens that folder.
  EXPECT_NE(dlg->StatusLine()->Text().toStdString().find("2 個のファイルを保存しました"),
            std::string::npos);
  EXPECT_NE(dlg->StatusLine()->Text().toStdString().find(folder), std::string::npos);
  QString opened;
  dlg->StatusLine()->SetFolderOpener([&](const QString& path) { opened = path; });
  dlg->StatusLine()->OpenSavedFolder();
  EXPECT_EQ(opened.toStdString(), folder);
}

TEST_F(MenuCommandsTest, SaveJoinedAsksForOneFileAndWritesAllPieces) {
  StartWithTwoReservations("save-joined", 4000, 10000);
  SetJoin(true);
  const std::string output = Sounds().File("save-joined/joined.wav");
  ui.files.push_back(output);
  dlg->OnMenuSave();
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_EQ(ui.asked[0].text, "save");
  EXPECT_EQ(ui.asked[0].save.initialName, "song 1-2.wav");
  ExpectPiece(output, 0, 10000);
  EXPECT_FALSE(std::filesystem::exists(Sounds().File("save-joined/song")));
  EXPECT_FALSE(dlg->HasUnsavedReservations());
}

TEST_F(MenuCommandsTest, SaveWithoutReservationsShows107InBothModes) {
  StartWith(Sounds().Sine("save-none/song.wav", 1));
  for (bool join : {false, true}) {
    ui.asked.clear();
    SetJoin(join);
    dlg->OnMenuSave();
    EXPECT_EQ(ui.MessageIds(), std::vector<int>{107}) << "join " << join;
  }
  EXPECT_FALSE(std::filesystem::exists(Sounds().File("save-none/song")));
}

TEST_F(MenuCommandsTest, VolumeDialogShowsThePlayerAndFollowsTheTimerWhileOpen) {
  StartWithSong(2);
  CMainPlayer& player = dlg->Player();
  player.SetDirectSoundVolume(-300);
  ASSERT_EQ(player.SetSoftwareVolume(250), 0);
  player.SetOptions(player.GetOptions() | CDS_VOLCTL_VER2);

  QWidget* seen = nullptr;
  OnNextModal<CVolumeDlg>([&](CVolumeDlg& volume) {
    seen = &volume;
    EXPECT_EQ(Find<QSlider>(volume, 1000)->value(), 9700);
    EXPECT_EQ(LabelText(volume, 1035), QStringLiteral("250"));
    EXPECT_TRUE(Find<QCheckBox>(volume, 1044)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(volume, 1043)->isChecked());
    // As the automatic control might: beyond the trackbar's range.
    player.SetSoftwareVolume(1700);
    dlg->OnTimer(1);
    EXPECT_EQ(LabelText(volume, 1035), QStringLiteral("1700"));
    EXPECT_EQ(Find<QSlider>(volume, 1007)->value(), 1500);
  });
  dlg->OnMenuVolume();
  ASSERT_NE(seen, nullptr);

  // Closed, the dialog no longer follows the player.
  player.SetSoftwareVolume(300);
  dlg->OnTimer(1);
  EXPECT_EQ(LabelText(*seen, 1035), QStringLiteral("1700"));

  // The same dialog opens again, reading the player afresh.
  OnNextModal<CVolumeDlg>([&](CVolumeDlg& volume) {
    EXPECT_EQ(&volume, seen);
    EXPECT_EQ(LabelText(volume, 1035), QStringLiteral("300"));
  });
  dlg->OnMenuVolume();
}

TEST_F(MenuCommandsTest, SpeedDialogChangesThePlayersSpeed) {
  StartWithSong(2);
  OnNextModal<CSpeedDlg>([](CSpeedDlg& speed) {
    EXPECT_EQ(LabelText(speed, 1035), QStringLiteral("100"));
    Find<QPushButton>(speed, 1012)->click();  // +10
    Find<QPushButton>(speed, 1014)->click();  // -50
  });
  dlg->OnMenuSpeed();
  EXPECT_EQ(dlg->Player().GetSpeedPercent(), 60);
}

// The file's smpl loop (frames 22050-66149) becomes the two markers, ready
// for "マーカループ"; a file without one leaves the command grayed.
TEST_F(MenuCommandsTest, FileLoopPointsBecomeTheMarkers) {
  StartWithSong(2);
  EXPECT_FALSE(dlg->MenuAction(32777)->isEnabled());
  std::vector<uint8_t> song = ReadFileBytes(Sounds().Sine("2s/song.wav", 2));
  ASSERT_EQ(std::string(song.begin() + 36, song.begin() + 40), "data");
  const std::vector<uint8_t> smpl = SampleChunkBytes(ForwardLoopChunk(44100, 22050, 66150));
  song.insert(song.begin() + 36, smpl.begin(), smpl.end());
  const auto riffSize = static_cast<uint32_t>(song.size() - 8);
  for (int i = 0; i < 4; ++i) song[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
  WriteFileBytes(Sounds().File("looped.wav"), song);

  StartWith(Sounds().File("looped.wav"));
  ASSERT_TRUE(dlg->MenuAction(32777)->isEnabled());
  MarkAt(1, 4000);
  dlg->MenuAction(32777)->trigger();
  EXPECT_TRUE(dlg->MarkerSet(1) && dlg->MarkerSet(2));
  EXPECT_EQ(dlg->MarkerPosition(1), 22050u * 4);
  EXPECT_EQ(dlg->MarkerPosition(2), 66150u * 4);
  EXPECT_TRUE(Enabled(1039));
  EXPECT_EQ(Bytes(), 22050u * 4);
}

TEST_F(MenuCommandsTest, VolumeSettingsSurviveToTheNextRun) {
  StartWithSong(2);
  dlg->Player().SetDirectSoundVolume(-1200);
  ASSERT_EQ(dlg->Player().SetSoftwareVolume(321), 0);
  dlg->Player().SetOptions(CDS_NOTIFY_STOP | CDS_VOLCTL_VER2 | CDS_AUTOVOLSLOWLYAPPLY);
  // Answering No to the unsaved-reservations question keeps the dialog and saves nothing.
  MarkAt(1, 0);
  SeekBytes(17640);
  Click(1026);
  ui.answers.push_back(MessageAnswer::No);
  dlg->reject();
  ASSERT_FALSE(dlg->IsEnded());
  const std::string settings = configHome.path() / "snipora/snipora.ini";
  // The file holds the recent files by now, but no volume settings yet.
  const test::Bytes early = ReadFileBytes(settings);
  EXPECT_EQ(std::string(early.begin(), early.end()).find("VolumeSetting"), std::string::npos);

  ui.answers.push_back(MessageAnswer::Yes);
  dlg->reject();
  ASSERT_TRUE(dlg->IsEnded());
  EXPECT_TRUE(std::filesystem::exists(settings));

  StartWithSong(2);
  EXPECT_EQ(dlg->Player().GetDirectSoundVolume(), -1200);
  EXPECT_EQ(dlg->Player().GetSoftwareVolume(), 321);
  EXPECT_EQ(dlg->Player().GetOptions(),
            CDS_NOTIFY_STOP | CDS_NOTIFY_ERROR | CDS_VOLCTL_VER2 | CDS_AUTOVOLSLOWLYAPPLY);
}

}  // namespace
}  // namespace snipora::test
