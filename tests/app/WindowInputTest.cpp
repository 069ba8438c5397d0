// The main window's keyboard, drops, menu opens that fail, and the waveform's clicks.
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "app/main_dialog.h"
#include "app/status_line.h"
#include "tests/app/main_dialog_fixture.h"
#include "tests/support/flac_files.h"
#include "tests/support/wave_bytes.h"
#include "waveform/widgets/overview_strip.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora::test {
namespace {

using Answer = MessageAnswer;
using WindowInputTest = MainDialogTest;

// What a key or a button may change.
struct Observed {
  uint32_t bytes;
  bool marker1, marker2;
  int reservations;
  bool playing;
  bool operator==(const Observed&) const = default;
};

TEST_F(WindowInputTest, EachKeyDoesWhatItsButtonDoes) {
  struct Row {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int button;
  };
  const Row rows[] = {
      {Qt::Key_Space, Qt::NoModifier, 1023},
      {Qt::Key_Left, Qt::NoModifier, 1003},
      {Qt::Key_Right, Qt::NoModifier, 1008},
      {Qt::Key_Left, Qt::ShiftModifier, 1002},
      {Qt::Key_Right, Qt::ShiftModifier, 1009},
      {Qt::Key_Left, Qt::ControlModifier, 1015},
      {Qt::Key_Right, Qt::ControlModifier, 1016},
      {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 1013},
      {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 1018},
      {Qt::Key_1, Qt::NoModifier, 1024},
      {Qt::Key_2, Qt::NoModifier, 1025},
      {Qt::Key_1, Qt::ControlModifier, 1029},
      {Qt::Key_2, Qt::ControlModifier, 1035},
      {Qt::Key_R, Qt::NoModifier, 1026},
      {Qt::Key_Insert, Qt::NoModifier, 1026},
      {Qt::Key_Delete, Qt::NoModifier, 1030},
  };
  // Markers at 5 s and 15 s, one reservation between them (highlighted),
  // marker 2 then cleared so that a new reservation can be made, at 10 s.
  const auto prepare = [this] {
    StartWithSong();
    MarkAt(1, 5 * kBytesPerSecond);
    MarkAt(2, 15 * kBytesPerSecond);
    Click(1026);
    auto* list = qobject_cast<QTreeWidget*>(dlg->Control(1022));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    Click(1025);
    MarkAt(2, 20 * kBytesPerSecond);
    SeekBytes(10 * kBytesPerSecond);
  };
  const auto observe = [this] {
    return Observed{Bytes(), dlg->MarkerSet(1), dlg->MarkerSet(2), dlg->ReservationCount(),
                    dlg->IsPlaying()};
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    prepare();
    const Observed before = observe();
    QTest::keyClick(dlg->Control(1022), row.key, row.modifiers);
    const Observed byKey = observe();
    prepare();
    Click(row.button);
    EXPECT_EQ(byKey, observe());
    EXPECT_FALSE(byKey == before);
  }

  // Home and End go to the ends; Space in a text field is typing.
  prepare();
  QTest::keyClick(dlg->Control(1023), Qt::Key_End);
  EXPECT_EQ(Bytes(), dlg->FormatInfo().dataSize);
  QTest::keyClick(dlg->Control(1023), Qt::Key_Home);
  EXPECT_EQ(Bytes(), 0u);
  QTest::keyClick(dlg->Control(1042), Qt::Key_Space);
  EXPECT_FALSE(dlg->IsPlaying());
}

TEST_F(WindowInputTest, CtrlOOpensAndCtrlQQuitsThroughTheCloseGuard) {
  StartWithSong();
  QApplication::setActiveWindow(dlg.get());
  ui.files = {std::nullopt};
  QTest::keyClick(dlg->Control(1023), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_EQ(ui.asked[0].text, "open");
  MarkAt(1, 0);
  MarkAt(2, kBytesPerSecond);
  Click(1026);
  ui.answers = {Answer::No};
  QTest::keyClick(dlg->Control(1023), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{108});
  EXPECT_FALSE(dlg->IsEnded());
}

TEST_F(WindowInputTest, DroppedFileOpensAfter108) {
  StartWithSong();
  MarkAt(1, 0);
  MarkAt(2, kBytesPerSecond);
  Click(1026);
  const std::string other = Sounds().Sine("other.wav", 2, 22050, 1, 8);
  const auto drop = [&] {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
    EXPECT_TRUE(dlg->OpenDropped(data));
    QCoreApplication::processEvents();
  };
  ui.answers = {Answer::No};
  drop();
  EXPECT_EQ(dlg->FullPath(), Sounds().File("40s/song.wav"));
  ui.answers = {Answer::Yes};
  drop();
  EXPECT_EQ(dlg->FullPath(), other);
  EXPECT_EQ(ui.MessageIds(), (std::vector<int>{108, 108}));
}

TEST_F(WindowInputTest, FailedMenuOpenNamesTheFileAndKeepsTheOpenOne) {
  const test::Bytes adpcm = RiffWave({RiffChunk("fmt ", FmtBody(2, 1, 22050, 11155, 512, 4)),
                                      RiffChunk("data", test::Bytes(1024, 0))});
  const std::string flac = Sounds().File("made.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(flac, {16, 2, 8000, 40000}, why)) << why;
  test::Bytes cutShort = ReadFileBytes(flac);
  cutShort.resize(cutShort.size() / 2);
  const struct {
    const char* name;
    test::Bytes bytes;  // empty: the file does not exist
    const char* reason;
  } cases[] = {
      {"missing.wav", {}, "読み込めません"},
      {"text.wav", test::Bytes{'h', 'e', 'l', 'l', 'o'}, "RIFF WAVE、NWA、FLAC のどの形式"},
      {"adpcm.wav", adpcm, "デコーダが必要"},
      {"short.flac", cutShort, "FLAC ファイルが途中で切れている"},
  };
  StartWithSong();
  SeekBytes(3 * kBytesPerSecond);
  for (const auto& c : cases) {
    const std::string path = Sounds().File(c.name);
    if (!c.bytes.empty()) WriteFileBytes(path, c.bytes);
    ui.asked.clear();
    ui.files = {path};
    dlg->MenuAction(32771)->trigger();
    ASSERT_EQ(ui.asked.size(), 2u);  // the file dialog, then the message
    EXPECT_NE(ui.asked[1].text.find(path), std::string::npos) << ui.asked[1].text;
    EXPECT_NE(ui.asked[1].text.find(c.reason), std::string::npos) << ui.asked[1].text;
    EXPECT_FALSE(dlg->IsEnded());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("song - Snipora"));
    EXPECT_EQ(Bytes(), 3 * kBytesPerSecond);  // the open file was never closed
  }
}

TEST_F(WindowInputTest, WaveformClickSeeksThePlayer) {
  StartWithSong();
  QWidget* overview = dlg->Waveform()->Overview();
  ASSERT_GT(overview->width(), 100);
  QTest::mouseClick(overview, Qt::LeftButton, {}, QPoint(overview->width() / 2, 5));
  const double half = dlg->FormatInfo().dataSize / 2.0;
  const double pixel = dlg->FormatInfo().dataSize / double(overview->width());
  EXPECT_NEAR(Bytes(), half, pixel);
  EXPECT_EQ(Bytes() % 4, 0u);
}

TEST_F(WindowInputTest, RecentFilesSurviveARestartAndOpen) {
  const std::string first = Sounds().Sine("first.wav", 1);
  const std::string second = Sounds().Sine("second.wav", 2);
  StartWith(first);
  ui.files = {second};
  dlg->MenuAction(32771)->trigger();
  dlg->close();

  StartWith(first);  // the restart: the list comes from the settings file
  QList<QAction*> entries = dlg->RecentFilesMenu()->actions();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_TRUE(entries[0]->text().endsWith(QString::fromStdString(first)));
  EXPECT_TRUE(entries[1]->text().endsWith(QString::fromStdString(second)));
  entries[1]->trigger();
  EXPECT_EQ(dlg->FullPath(), second);
}

TEST_F(WindowInputTest, SilentPlaybackIsShownInTheWindow) {
  device.silent = true;
  StartWithSong(1);
  EXPECT_TRUE(dlg->StatusLine()->Text().contains(QString::fromUtf8("無音")));
}

}  // namespace
}  // namespace snipora::test
