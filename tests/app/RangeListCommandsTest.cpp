#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "ranges/range_formats.h"
#include "tests/app/main_dialog_fixture.h"

// Range lists in and out of the reservation list, labels edited in the list,
// and split pieces named after their labels.
namespace snipora::test {
namespace {

constexpr uint32_t kFrames = 44100;  // the one-second song

class RangeListCommandsTest : public MainDialogTest {
 protected:
  void StartWithOneSecondSong() { StartWith(Sounds().Sine("song.wav", 1)); }

  // Writes `text` beside the song and imports it.
  void Import(const std::string& name, const std::string& text) {
    const std::string path = Sounds().File(name);
    WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    ui.files.push_back(path);
    dlg->MenuAction(kImport)->trigger();
  }
  // Exports under `name`, typed without an extension, with the dialog's file
  // type `filter` chosen; returns what the file of that type's extension holds.
  std::string ExportAs(const std::string& name, int filter) {
    ui.files.push_back(Sounds().File(name));
    ui.saveFilters.push_back(filter);
    dlg->MenuAction(kExport)->trigger();
    static const char* const kExtensions[] = {".txt", ".cue", ".csv"};
    const auto bytes = ReadFileBytes(Sounds().File(name + kExtensions[filter]));
    return std::string(bytes.begin(), bytes.end());
  }

  static constexpr int kImport = 32778;
  static constexpr int kExport = 32779;
};

// Bounds on 1/75 s so that the CUE sheet holds them exactly; the ranges meet
// and the last ends with the data, as a CUE sheet's tracks do. The file type
// chosen in the export dialog decides the format; both dialogs start beside
// the song.
TEST_F(RangeListCommandsTest, ImportedRowsExportToTheSameFile) {
  const std::vector<ranges::LabeledRange> rows = {
      {0, 588 * 20, "Intro"}, {588 * 20, 588 * 50, "Verse"}, {588 * 50, kFrames, "Outro"}};
  const char* const names[] = {"list.txt", "list.cue", "list.csv"};
  for (int filter = 0; filter < 3; ++filter) {
    const char* name = names[filter];
    SCOPED_TRACE(name);
    StartWithOneSecondSong();
    EXPECT_TRUE(dlg->MenuAction(kImport)->isEnabled());
    EXPECT_FALSE(dlg->MenuAction(kExport)->isEnabled());
    const ranges::RangeListText original = ranges::WriteRangeList(
        *ranges::RangeFormatOfPath(name), rows, {44100, kFrames}, "song.wav");
    ASSERT_TRUE(original.notes.empty() && original.error.empty());
    Import(name, original.text);

    ASSERT_EQ(dlg->ReservationCount(), 3);
    EXPECT_EQ(dlg->ReservationText(1, 1), "11760");
    EXPECT_EQ(dlg->ReservationText(1, 3), "Verse");
    auto* list = qobject_cast<QTreeWidget*>(dlg->Control(1022));
    EXPECT_EQ(list->topLevelItem(2)->text(3).toStdString(), "Outro");
    EXPECT_TRUE(dlg->HasUnsavedReservations());
    EXPECT_TRUE(dlg->MenuAction(kExport)->isEnabled());

    EXPECT_EQ(ExportAs("out-list", filter), original.text);
    ASSERT_EQ(ui.asked.size(), 2u) << "an open and a save dialog, no message";
    const std::string folder = std::filesystem::path(dlg->FullPath()).parent_path().string();
    EXPECT_EQ(ui.asked[0].initialFolder, folder);
    EXPECT_EQ(ui.asked[1].initialFolder, folder);
    ui.asked.clear();
  }
}

TEST_F(RangeListCommandsTest, RefusedOrEmptyListIsToldAndAddsNothing) {
  struct Case {
    const char* name;
    const char* text;  // none: import the song's own markers
    const char* where;
  };
  const Case cases[] = {
      {"bad.csv", "0,100,a\n100,x,b\n", "「bad.csv」の 2 行目"},
      {"long.txt", "0.0\t0.5\tfits\n0.5\t9.0\tbeyond the data\n", "「long.txt」の 2 行目"},
      {"song.wav", nullptr, "「song.wav」には範囲がありません"},  // its own markers: none
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartWithOneSecondSong();
    MarkAt(1, 0);
    SeekBytes(4000);
    Click(1026);
    dlg->ClearUnsavedReservations();
    ui.asked.clear();

    if (c.text) {
      Import(c.name, c.text);
    } else {
      ui.files.push_back(dlg->FullPath());
      dlg->MenuAction(kImport)->trigger();
    }
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_NE(ui.asked[1].text.find(c.where), std::string::npos) << ui.asked[1].text;
    EXPECT_EQ(dlg->ReservationCount(), 1);
    EXPECT_FALSE(dlg->HasUnsavedReservations());
  }
}

TEST_F(RangeListCommandsTest, CueExportTellsWhichBoundsWereRounded) {
  StartWithOneSecondSong();
  MarkAt(1, 0);
  SeekBytes(4000);  // frame 1000: not on 1/75 s
  Click(1026);
  const std::string sheet = ExportAs("rounded", 1);
  EXPECT_NE(sheet.find("TRACK 01"), std::string::npos);
  ASSERT_EQ(ui.asked.size(), 2u);
  EXPECT_NE(ui.asked[1].text.find("丸めました"), std::string::npos) << ui.asked[1].text;
}

// A sheet in a legacy code page: each encoding it reads in is offered with
// the lines it gives, until the user takes one or declines them all.
TEST_F(RangeListCommandsTest, ListNotInUtf8IsReadInTheEncodingTheUserTakes) {
  const std::string sheet =
      "TRACK 01 AUDIO\nTITLE \"\xCF\xF0\xE8\xE2\xE5\xF2\"\nINDEX 01 00:00:00\n";
  for (const bool take : {false, true}) {
    SCOPED_TRACE(take);
    StartWithOneSecondSong();
    ui.asked.clear();
    ui.answers =
        take ? std::deque{MessageAnswer::Yes} : std::deque{MessageAnswer::No, MessageAnswer::No};
    Import("ru.cue", sheet);
    // The open dialog, then CP1251 (Cyrillic first) and, declined, CP1252.
    ASSERT_EQ(ui.asked.size(), take ? 2u : 3u);
    EXPECT_NE(ui.asked[1].text.find("CP1251"), std::string::npos) << ui.asked[1].text;
    EXPECT_NE(ui.asked[1].text.find("TITLE \"Привет\""), std::string::npos) << ui.asked[1].text;
    EXPECT_NE(ui.asked.back().text.find(take ? "CP1251" : "CP1252"), std::string::npos);
    ASSERT_EQ(dlg->ReservationCount(), take ? 1 : 0);
    if (take) {
      EXPECT_EQ(dlg->ReservationText(0, 3), "Привет");
    }
  }
}

TEST_F(RangeListCommandsTest, LabelEditedInTheListReachesTheModel) {
  StartWithOneSecondSong();
  Import("one.csv", "0,100,old\n");
  dlg->ClearUnsavedReservations();
  auto* list = qobject_cast<QTreeWidget*>(dlg->Control(1022));
  // F2 on the highlighted row edits its label, Enter ends the edit.
  list->setFocus();
  list->setCurrentItem(list->topLevelItem(0), 0);
  QTest::keyClick(list, Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text().toStdString(), "old");
  editor->setText(QStringLiteral("新しい名前"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(dlg->Model().Rows()[0].label, "新しい名前");
  EXPECT_TRUE(dlg->HasUnsavedReservations());
  EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(),
            dlg->Model().CellText(0, RowField::Length));
}

TEST_F(RangeListCommandsTest, SplitPiecesAreNamedAfterLabelsOnlyWhenAsked) {
  for (const bool named : {false, true}) {
    SCOPED_TRACE(named);
    StartWithOneSecondSong();
    Import("two.csv", "0,1000,Intro\n1000,3000,\n");
    qobject_cast<QCheckBox*>(dlg->Control(1044))->setChecked(named);
    dlg->OnMenuSave();
    const std::filesystem::path folder =
        std::filesystem::path(dlg->FullPath()).parent_path() / "song";
    EXPECT_EQ(std::filesystem::exists(folder / "01 Intro.wav"), named);
    EXPECT_EQ(std::filesystem::exists(folder / "01.wav"), !named);
    // A row without a label keeps its number.
    EXPECT_TRUE(std::filesystem::exists(folder / "02.wav"));
    Sounds().BeginTest();
  }
}

}  // namespace
}  // namespace snipora::test
