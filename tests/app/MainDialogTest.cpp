#include <gtest/gtest-spi.h>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <filesystem>

#include "app/recent_files.h"
#include "app/status_line.h"
#include "tests/app/main_dialog_fixture.h"
#include "tests/support/foreign_sources.h"
#include "tests/support/wave_bytes.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora::test {
namespace {

using Answer = MessageAnswer;

TEST_F(MainDialogTest, CommandLineOpensTheFileWithoutAnyDialog) {
  const std::string path = Sounds().Sine("1s/song.wav", 1);
  StartWith(path);
  EXPECT_TRUE(ui.asked.empty());
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("song - Snipora"));
  EXPECT_EQ(dlg->FullPath(), path);
  EXPECT_EQ(dlg->DisplayName(), "song");
  EXPECT_EQ(Text(1031), "1000\n44100");
  EXPECT_EQ(Text(1032), "0\n0");
  EXPECT_EQ(Slider()->maximum(), 44100);
  EXPECT_EQ(Slider()->value(), 0);
}

TEST_F(MainDialogTest, UncompressedNwaOpensThroughTheDecoderModule) {
  // 44-byte header: 2 channels, 16 bits, 44100 Hz, compression -1, then 0.
  test::Bytes nwa = {2, 0, 16, 0, 0x44, 0xAC, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  nwa.resize(44, 0);
  const test::Bytes samples = SeededBytes(2 * kBytesPerSecond, 7);
  nwa.insert(nwa.end(), samples.begin(), samples.end());
  const std::string path = Sounds().File("voice.nwa");
  WriteFileBytes(path, nwa);
  StartWith(path);
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("voice - Snipora"));
  EXPECT_EQ(Text(1031), "2000\n88200");
  EXPECT_TRUE(Enabled(1041));

  // The same bytes under another name are no NWA file for the module.
  const std::string renamed = Sounds().File("voice.raw");
  WriteFileBytes(renamed, nwa);
  Start(renamed);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{103});
  EXPECT_TRUE(dlg->IsEnded());
}

// Without a file the window opens empty and asks nothing; what needs a file
// is disabled until Open (starting where the last file was) brings one.
TEST_F(MainDialogTest, WithoutAFileTheWindowStartsEmptyUntilOneIsOpened) {
  const std::string path = Sounds().Sine("1s/song.wav", 1);
  SaveRecentFiles({path});
  Start("");
  EXPECT_FALSE(dlg->IsEnded());
  EXPECT_TRUE(ui.asked.empty());
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Snipora"));
  EXPECT_TRUE(dlg->Waveform()->findChild<QWidget*>(QStringLiteral("hint"))->isVisibleTo(dlg.get()));
  for (int id : {1000, 1001, 1020, 1022, 1023, 1024, 1027, 1041, 1042, 1043})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_FALSE(dlg->MenuAction(32772)->isEnabled());  // Save
  EXPECT_TRUE(dlg->MenuAction(32773)->isEnabled());   // Volume works without a file

  ui.files = {path};
  dlg->MenuAction(32771)->trigger();
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_EQ(ui.asked[0].initialFolder, std::filesystem::path(path).parent_path().string());
  EXPECT_EQ(dlg->FullPath(), path);
  EXPECT_TRUE(Enabled(1023));
  EXPECT_TRUE(dlg->MenuAction(32772)->isEnabled());
  EXPECT_EQ(dlg->StatusLine()->FormatText().toStdString(),
            "44.1 kHz \u00b7 16-bit \u00b7 2 ch \u00b7 0:00:01.000 \u00b7 WAVE");
}

// A named file that does not open ends the program with status 1, after
// one message saying why.
TEST_F(MainDialogTest, ANamedFileThatDoesNotOpenEndsWithAFailure) {
  const std::string ten = Sounds().Sine("ten.wav", 1, 8000, 10, 16);
  for (const std::string& path : {Sounds().File("missing.wav"), ten}) {
    ui.asked.clear();
    Start(path);
    EXPECT_TRUE(dlg->IsEnded()) << path;
    EXPECT_EQ(dlg->result(), CMainDlg::kResultCannotOpen) << path;
    ASSERT_EQ(ui.asked.size(), 1u) << path;
    if (path != ten) {
      EXPECT_EQ(ui.asked[0].stringId, 103);
    }
  }
  EXPECT_NE(ui.asked[0].text.find("10チャンネル"), std::string::npos) << ui.asked[0].text;
}

TEST_F(MainDialogTest, AnUnscriptedQuestionFailsTheTestAndIsAnsweredNo) {
  Start("");
  // Asked from inside Qt's event loop, which no exception may cross.
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(&failures);
    QTimer::singleShot(0, [this] { dlg->MenuAction(32771)->trigger(); });
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(failures.size(), 1);  // the file dialog
  EXPECT_TRUE(failures.GetTestPartResult(0).nonfatally_failed());
  EXPECT_FALSE(dlg->Player().IsOpen());  // it was cancelled
}

TEST_F(MainDialogTest, FormatSetsSliderStepsAndTheFadeCheckBox) {
  struct Case {
    int rate, channels, bits;
    int line, page;
    bool fade;
  };
  const Case cases[] = {
      {44100, 2, 16, 44, 11025, true},
      {22050, 1, 8, 22, 5512, true},
      {11025, 2, 8, 11, 2756, true},
  };
  for (const Case& c : cases) {
    const std::string name = "f" + std::to_string(c.rate) + "_" + std::to_string(c.channels) + "_" +
                             std::to_string(c.bits) + ".wav";
    StartWith(Sounds().Sine(name, 1, c.rate, c.channels, c.bits));
    EXPECT_EQ(Slider()->singleStep(), c.line) << name;
    EXPECT_EQ(Slider()->pageStep(), c.page) << name;
    EXPECT_EQ(Slider()->maximum(), c.rate) << name;
    EXPECT_EQ(Enabled(1041), c.fade) << name;
    EXPECT_EQ(Enabled(1042), c.fade) << name;
  }
}

// Files written by sox and ffmpeg in the layouts users record open and can be faded.
TEST_F(MainDialogTest, ExtensibleAndFloatFilesOpen) {
  for (const ForeignSource& source : ForeignSources()) {
    const std::string path = Sounds().File(std::string(source.name) + ".wav");
    if (!HaveProgram(source.tool)) continue;
    std::string why;
    ASSERT_TRUE(MakeForeignSource(source, path, why)) << source.name << ": " << why;
    StartWith(path);
    EXPECT_TRUE(ui.asked.empty()) << source.name;
    EXPECT_TRUE(Enabled(1041)) << source.name;
    EXPECT_EQ(Slider()->maximum(), source.formatTag == 3 ? 13230 : 14400) << source.name;
  }
}

// More channels than the device plays, from the menu: a message names the
// count and the open file stays.
TEST_F(MainDialogTest, TooManyChannelsAreRefusedByNameKeepingTheOpenFile) {
  const std::string ten = Sounds().Sine("ten.wav", 1, 8000, 10, 16);
  const std::string song = Sounds().Sine("1s/song.wav", 1);
  StartWith(song);
  ui.files = {ten};
  dlg->MenuAction(32771)->trigger();
  EXPECT_FALSE(dlg->IsEnded());
  EXPECT_TRUE(dlg->Player().IsOpen());
  EXPECT_EQ(dlg->FullPath(), song);
  ASSERT_EQ(ui.asked.size(), 2u);
  EXPECT_NE(ui.asked[1].text.find("10チャンネル"), std::string::npos) << ui.asked[1].text;
}

TEST_F(MainDialogTest, MenuOpenAsks108AndNoKeepsFileListAndMarkers) {
  StartWithSong();
  MarkAt(1, 0);
  MarkAt(2, kBytesPerSecond);
  Click(1026);
  ASSERT_TRUE(dlg->HasUnsavedReservations());

  ui.answers = {Answer::No};
  dlg->MenuAction(32771)->trigger();
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{108});
  EXPECT_EQ(dlg->ReservationCount(), 1);
  EXPECT_TRUE(dlg->MarkerSet(1));

  // Yes, then cancelling the file dialog keeps everything too.
  ui.answers = {Answer::Yes};
  ui.files = {std::nullopt};
  dlg->MenuAction(32771)->trigger();
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("song - Snipora"));
  EXPECT_EQ(dlg->ReservationCount(), 1);

  // Yes and a file: everything per file is reset.
  ui.answers = {Answer::Yes};
  ui.files = {Sounds().Sine("other.wav", 2, 22050, 1, 8)};
  dlg->MenuAction(32771)->trigger();
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("other - Snipora"));
  EXPECT_EQ(dlg->ReservationCount(), 0);
  EXPECT_FALSE(dlg->MarkerSet(1));
  EXPECT_FALSE(dlg->HasUnsavedReservations());
  EXPECT_EQ(Text(1033), "0\n0");
  EXPECT_EQ(Text(1024), "付加");
  for (int id : {1026, 1028, 1029, 1030, 1035, 1036, 1037, 1038, 1039})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(1041));
}

TEST_F(MainDialogTest, CloseAsks108WhileReservationsAreUnsaved) {
  StartWithSong();
  MarkAt(1, 0);
  MarkAt(2, kBytesPerSecond);
  Click(1026);
  ui.answers = {Answer::No};
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_FALSE(dlg->IsEnded());
  ui.answers = {Answer::Yes};
  dlg->close();
  EXPECT_TRUE(dlg->IsEnded());
  EXPECT_EQ(ui.MessageIds(), (std::vector<int>{108, 108}));
}

TEST_F(MainDialogTest, EnterIsSwallowed) {
  StartWithSong();
  auto* edit = qobject_cast<QLineEdit*>(dlg->Control(1042));
  bool returnPressed = false;
  QObject::connect(edit, &QLineEdit::returnPressed, [&] { returnPressed = true; });
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Enter);
  QTest::keyClick(dlg.get(), Qt::Key_Return);
  EXPECT_FALSE(returnPressed);
  EXPECT_FALSE(dlg->IsEnded());
  EXPECT_TRUE(ui.asked.empty());
}

TEST_F(MainDialogTest, ToolsAreEnabledWithAFileAndAboutOpensItsBox) {
  StartWithSong(1);
  EXPECT_FALSE(dlg->windowIcon().isNull());  // icon 128 survives the static library
  for (int id : {32771, 32772, 32773, 32774, 32775, 32776, 32780})
    EXPECT_TRUE(dlg->MenuAction(id)->isEnabled()) << id;
  QTimer::singleShot(0, [] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Sniporaのﾊﾞｰｼﾞｮﾝ情報"));
    qobject_cast<QDialog*>(box)->accept();
  });
  dlg->MenuAction(32774)->trigger();
}

TEST_F(MainDialogTest, PlayTogglesTextAndTheDisplayTimer) {
  StartWithSong();
  Click(1023);
  EXPECT_EQ(Text(1023), "停止");
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_TRUE(dlg->IsTimerRunning(2));
  EXPECT_TRUE(device.IsPlaying());
  PlayFor(kBytesPerSecond);
  dlg->OnTimer(2);
  EXPECT_EQ(Text(1032), "1000\n44100");
  EXPECT_EQ(Slider()->value(), 44100);
  Click(1023);
  EXPECT_EQ(Text(1023), "再生");
  EXPECT_FALSE(dlg->IsTimerRunning(2));
  EXPECT_FALSE(device.IsPlaying());
}

TEST_F(MainDialogTest, DragWhilePlayingStopsThenSeeksAndResumesOnRelease) {
  StartWithSong();
  Click(1023);
  PlayFor(kBytesPerSecond);
  Slider()->setSliderDown(true);
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_FALSE(dlg->IsTimerRunning(2));
  EXPECT_EQ(Text(1023), "再生");
  Slider()->setSliderPosition(220500);  // 5 s
  EXPECT_EQ(Text(1032), "5000\n220500");
  EXPECT_EQ(Bytes(), kBytesPerSecond);  // the player waits for the release
  Slider()->setSliderDown(false);
  EXPECT_EQ(Bytes(), 5 * kBytesPerSecond);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_TRUE(device.IsPlaying());
  EXPECT_EQ(Text(1023), "停止");
}

TEST_F(MainDialogTest, DragWhileStoppedSeeksOnReleaseAndStaysStopped) {
  StartWithSong();
  Slider()->setSliderDown(true);
  Slider()->setSliderPosition(88200);
  EXPECT_EQ(Bytes(), 0u);
  Slider()->setSliderDown(false);
  EXPECT_EQ(Bytes(), 2 * kBytesPerSecond);
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_FALSE(device.IsPlaying());
  // A page step beside the handle is a whole action: it seeks at once.
  Slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(Bytes(), (88200u + 11025u) * 4);
  EXPECT_EQ(Text(1032), "2250\n99225");
}

TEST_F(MainDialogTest, HoldingTheMouseOnTheGrooveSeeksOnceAtTheRelease) {
  StartWithSong();
  Click(1023);
  const QPoint groove(Slider()->width() - 3, Slider()->height() / 2);
  QTest::mousePress(Slider(), Qt::LeftButton, {}, groove);
  QTest::qWait(800);  // the press repeats its page step
  EXPECT_GT(Slider()->sliderPosition(), 11025);
  EXPECT_FALSE(dlg->IsPlaying());
  EXPECT_EQ(Bytes(), 0u);  // the player waits for the release
  QTest::mouseRelease(Slider(), Qt::LeftButton, {}, groove);
  EXPECT_EQ(Bytes(), static_cast<uint32_t>(Slider()->value()) * 4);
  EXPECT_TRUE(dlg->IsPlaying());
  EXPECT_TRUE(device.IsPlaying());
}

}  // namespace
}  // namespace snipora::test

namespace snipora::test {
namespace {

// The fixture's Bytes() is the player position.
using ByteVector = std::vector<uint8_t>;

// A sparse RF64 file past 4 GiB (44100 Hz 16-bit stereo) with seeded samples
// from just before the file's 4 GiB boundary to well past it: it opens with
// its whole length, seeks across the boundary, and plays what the file holds
// there and beyond it.
TEST_F(MainDialogTest, FilePast4GiBOpensSeeksAndPlaysBeyondTheBoundary) {
  const uint64_t dataSize = (uint64_t{1} << 32) + (4 << 20);
  const ByteVector header =
      Rf64Header("RF64", dataSize, 4, {RiffChunk("fmt ", PcmFormatBody(2, 44100, 16))});
  const uint64_t before = (uint64_t{1} << 32) - header.size() - 4096;  // a frame, 4 KiB before it
  std::vector<uint64_t> seeded;
  for (uint64_t at = before; at < before + 64 * 4096; at += 4096) seeded.push_back(at);
  const std::string path = Sounds().File("big.wav");
  WriteSparseWave(path, header, dataSize, seeded);
  const auto fileBytes = [&seeded](uint64_t at, size_t n) {
    ByteVector bytes;
    for (uint64_t chunk : seeded) {
      const ByteVector seededChunk = SeededBytes(4096, static_cast<uint32_t>(chunk));
      bytes.insert(bytes.end(), seededChunk.begin(), seededChunk.end());
    }
    return ByteVector(bytes.begin() + static_cast<ptrdiff_t>(at - seeded.front()),
                      bytes.begin() + static_cast<ptrdiff_t>(at - seeded.front() + n));
  };

  StartWith(path);
  const uint64_t frames = dataSize / 4;
  EXPECT_EQ(Text(1031),
            std::to_string(dataSize * 1000 / kBytesPerSecond) + "\n" + std::to_string(frames));
  EXPECT_EQ(Slider()->maximum(), static_cast<int>(frames));

  const uint32_t listen = kBytesPerSecond / 10;
  for (const uint64_t at : {before, before + 8 * 4096}) {  // across the boundary; beyond it
    SCOPED_TRACE(at);
    ASSERT_EQ(dlg->Player().Seek(at, kUnitBytes), 0);
    dlg->RefreshPosition(true, 0);
    EXPECT_EQ(dlg->Player().GetPosition(kUnitBytes), at);
    EXPECT_EQ(Text(1032),
              std::to_string(at * 1000 / kBytesPerSecond) + "\n" + std::to_string(at / 4));
    EXPECT_EQ(Slider()->value(), static_cast<int>(at / 4));
    device.ClearHeard();
    Click(1023);
    ASSERT_TRUE(dlg->IsPlaying());
    PlayFor(listen);
    Click(1023);
    EXPECT_EQ(device.Heard(), fileBytes(at, listen));
  }
  dlg.reset();
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace snipora::test
