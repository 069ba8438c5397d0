#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "app/jump_dialog.h"
#include "app/reservation_list.h"
#include "tests/app/main_dialog_fixture.h"

namespace snipora::test {
namespace {

constexpr uint32_t kSecond = 176400;  // bytes of 44100 Hz 16-bit stereo

TEST_F(MainDialogTest, StepButtonsMoveAndClampAtBothEnds) {
  StartWithSong(10);
  const uint32_t end = 10 * kSecond;
  // Millisecond steps land on the frame at or before the time they show.
  struct Case {
    const char* name;
    uint32_t from;  // bytes
    int button;
    uint32_t to;
    int unit;  // of `to`: 1 bytes, 2 milliseconds
  };
  const Case cases[] = {
      {"-10000 ms at 3 s goes to 0", 3 * kSecond, 1001, 0, 2},
      {"-1 ms at 0 stays", 0, 1005, 0, 2},
      {"-1000 ms at 3 s", 3 * kSecond, 1002, 2000, 2},
      {"+10000 ms 2 s before the end goes to the end", end - 2 * kSecond, 1010, end, 1},
      {"+1 ms at the end stays", end, 1006, end, 1},
      {"+1000 ms at 1 s", kSecond, 1009, 2000, 2},
      {"+1 sample moves one frame", 400, 1016, 404, 1},
      {"-1 sample moves one frame back", 400, 1015, 396, 1},
      {"-10000 samples at 100 goes to 0", 400, 1011, 0, 1},
      {"+10000 samples near the end goes to the end", end - 4 * 9999, 1020, end, 1},
      {"+10000 samples with room", 0, 1020, 40000, 1},
  };
  for (const Case& c : cases) {
    SeekBytes(c.from);
    Click(c.button);
    EXPECT_EQ(dlg->Player().GetPosition(c.unit), c.to) << c.name;
  }
}

TEST_F(MainDialogTest, MarkerButtonsFollowTheEnableRules) {
  StartWithSong(10);
  MarkAt(1, 2 * kSecond);
  EXPECT_EQ(Text(1024), "消去");
  EXPECT_EQ(Text(1033), "2000\n88200");
  for (int id : {1026, 1038, 1029}) EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(1039));
  EXPECT_FALSE(Enabled(1035));

  MarkAt(2, 5 * kSecond);
  EXPECT_TRUE(Enabled(1039));
  EXPECT_TRUE(Enabled(1035));

  Click(1024);  // clear marker 1
  EXPECT_EQ(Text(1024), "付加");
  EXPECT_EQ(Text(1033), "0\n0");
  EXPECT_FALSE(Enabled(1039));
  EXPECT_FALSE(Enabled(1029));
  EXPECT_TRUE(Enabled(1026));
  EXPECT_TRUE(Enabled(1038));

  Click(1025);  // clear marker 2
  EXPECT_FALSE(Enabled(1026));
  EXPECT_FALSE(Enabled(1038));
  EXPECT_EQ(dlg->MarkerPosition(2), 0u);
}

TEST_F(MainDialogTest, PlayButtonsFollowThePositionAgainstTheMarkers) {
  StartWithSong(10);
  MarkAt(1, 4 * kSecond);
  SeekBytes(2 * kSecond);
  EXPECT_TRUE(Enabled(1028));
  EXPECT_TRUE(Enabled(1037));
  SeekBytes(6 * kSecond);
  EXPECT_FALSE(Enabled(1028));
  EXPECT_FALSE(Enabled(1037));
  MarkAt(2, 8 * kSecond);
  SeekBytes(9 * kSecond);
  EXPECT_TRUE(Enabled(1028));   // both markers set
  EXPECT_FALSE(Enabled(1037));  // no marker after the position
}

TEST_F(MainDialogTest, GoToMarkerAndJumpDialogSeek) {
  StartWithSong(10);
  MarkAt(2, 3 * kSecond);
  SeekBytes(0);
  Click(1035);
  EXPECT_EQ(Bytes(), 3 * kSecond);

  // The jump dialog refuses a value beyond the end with 106, then accepts.
  QTimer::singleShot(0, [this] {
    auto* jump = qobject_cast<CJumpDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(qobject_cast<QLabel*>(jump->Control(1038))->text(), QStringLiteral("10000\n441000"));
    auto* edit = qobject_cast<QLineEdit*>(jump->Control(1037));
    edit->setText(QStringLiteral("10001"));
    QTest::keyClick(edit, Qt::Key_Return);  // Enter is the jump dialog's OK
    EXPECT_TRUE(jump->isVisible());
    edit->setText(QStringLiteral("7500"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  Click(1027);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{106});
  EXPECT_EQ(Bytes(), 7 * kSecond + kSecond / 2);
  EXPECT_EQ(Text(1032), "7500\n330750");

  QTimer::singleShot(0,
                     [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
  Click(1027);
  EXPECT_EQ(Bytes(), 7 * kSecond + kSecond / 2);
}

TEST_F(MainDialogTest, ReservationFromTwoMarkersKeepsTheMarkers) {
  StartWithSong(10);
  MarkAt(1, 1000 * 4);
  MarkAt(2, 500 * 4);
  Click(1026);
  ASSERT_EQ(dlg->ReservationCount(), 1);
  EXPECT_EQ(dlg->ReservationText(0, 0), "11");
  EXPECT_EQ(dlg->ReservationText(0, 1), "500");
  EXPECT_EQ(dlg->ReservationText(0, 2), "1000");
  EXPECT_EQ(dlg->MarkerPosition(1), 4000u);
  EXPECT_EQ(dlg->MarkerPosition(2), 2000u);
  EXPECT_TRUE(dlg->HasUnsavedReservations());

  // Equal markers add nothing.
  Click(1025);
  MarkAt(2, 1000 * 4);
  Click(1026);
  EXPECT_EQ(dlg->ReservationCount(), 1);
}

TEST_F(MainDialogTest, ReservationFromOneMarkerMovesTheMarkerToThePosition) {
  StartWithSong(10);
  MarkAt(1, 0);
  SeekBytes(kSecond);
  Click(1026);
  ASSERT_EQ(dlg->ReservationCount(), 1);
  EXPECT_EQ(dlg->ReservationText(0, 0), "1000");
  EXPECT_EQ(dlg->ReservationText(0, 1), "0");
  EXPECT_EQ(dlg->ReservationText(0, 2), "44100");
  EXPECT_EQ(dlg->MarkerPosition(1), kSecond);
  EXPECT_EQ(Text(1033), "1000\n44100");
  EXPECT_EQ(Text(1034), "0\n0");
  Click(1026);  // same position: nothing
  EXPECT_EQ(dlg->ReservationCount(), 1);

  // Before the marker: the row runs from the position to the marker, and the
  // marker moves back to the position.
  SeekBytes(kSecond / 2);
  Click(1026);
  ASSERT_EQ(dlg->ReservationCount(), 2);
  EXPECT_EQ(dlg->ReservationText(1, 0), "500");
  EXPECT_EQ(dlg->ReservationText(1, 1), "22050");
  EXPECT_EQ(dlg->ReservationText(1, 2), "44100");
  EXPECT_EQ(dlg->MarkerPosition(1), kSecond / 2);
}

class ReservationListTest : public MainDialogTest {
 protected:
  // Three rows: 0-1 s, 1-2 s, 2-3 s, cut with one marker.
  void MakeRows() {
    StartWithSong(10);
    MarkAt(1, 0);
    for (uint32_t s = 1; s <= 3; ++s) {
      SeekBytes(s * kSecond);
      Click(1026);
    }
    ASSERT_EQ(dlg->ReservationCount(), 3);
  }
  CReservationList* List() const { return qobject_cast<CReservationList*>(dlg->Control(1022)); }
  void ClickRow(int row) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                      List()->visualItemRect(List()->topLevelItem(row)).center());
  }
};

TEST_F(ReservationListTest, ClickingARowEnablesRemoveAndReadBackAndEmptySpaceDoesNot) {
  MakeRows();
  EXPECT_FALSE(Enabled(1030));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                    QPoint(5, List()->viewport()->height() - 3));
  EXPECT_EQ(List()->SelectedRow(), -1);
  EXPECT_FALSE(Enabled(1030));
  EXPECT_FALSE(Enabled(1036));
  ClickRow(1);
  EXPECT_EQ(List()->SelectedRow(), 1);
  EXPECT_TRUE(Enabled(1030));
  EXPECT_TRUE(Enabled(1036));
}

TEST_F(ReservationListTest, ReadBackSetsBothMarkersWithoutMovingThePosition) {
  MakeRows();
  SeekBytes(5 * kSecond);
  ClickRow(1);
  Click(1036);
  EXPECT_TRUE(dlg->MarkerSet(1));
  EXPECT_TRUE(dlg->MarkerSet(2));
  EXPECT_EQ(dlg->MarkerPosition(1), kSecond);
  EXPECT_EQ(dlg->MarkerPosition(2), 2 * kSecond);
  EXPECT_EQ(Text(1033), "1000\n44100");
  EXPECT_EQ(Text(1034), "2000\n88200");
  EXPECT_EQ(Text(1024), "消去");
  EXPECT_EQ(Text(1025), "消去");
  EXPECT_TRUE(Enabled(1029));
  EXPECT_TRUE(Enabled(1035));
  EXPECT_EQ(Bytes(), 5 * kSecond);
}

TEST_F(ReservationListTest, RemovingHighlightsTheNextRowUntilTheListIsEmpty) {
  MakeRows();
  ClickRow(0);
  Click(1030);
  EXPECT_EQ(dlg->ReservationCount(), 2);
  EXPECT_EQ(dlg->ReservationText(0, 1), "44100");
  EXPECT_EQ(List()->SelectedRow(), 0);  // the row after the removed one
  // Two rows remain: closing must still ask before discarding them.
  EXPECT_TRUE(dlg->HasUnsavedReservations());
  Click(1030);
  Click(1030);
  EXPECT_EQ(dlg->ReservationCount(), 0);
  EXPECT_FALSE(Enabled(1030));
  EXPECT_FALSE(Enabled(1036));
  EXPECT_FALSE(dlg->HasUnsavedReservations());
}

TEST_F(ReservationListTest, KeysDragsAndCtrlClickMoveTheRowThatIsActedOn) {
  MakeRows();
  QWidget* rows = List()->viewport();
  const auto center = [this](int row) {
    return List()->visualItemRect(List()->topLevelItem(row)).center();
  };
  ClickRow(0);
  QTest::keyClick(List(), Qt::Key_End);  // row 2
  QTest::keyClick(List(), Qt::Key_Up);   // row 1
  Click(1036);
  EXPECT_EQ(dlg->MarkerPosition(1), kSecond);
  EXPECT_EQ(dlg->MarkerPosition(2), 2 * kSecond);

  // Dragged from row 0 to row 1: both are selected, row 1 highlighted, and
  // both are removed.
  QTest::mousePress(rows, Qt::LeftButton, {}, center(0));
  QTest::mouseMove(rows, center(1));
  QTest::mouseRelease(rows, Qt::LeftButton, {}, center(1));
  ASSERT_EQ(List()->SelectedRow(), 1);
  EXPECT_EQ(List()->SelectedRows(), (std::vector<int>{0, 1}));
  Click(1030);
  ASSERT_EQ(dlg->ReservationCount(), 1);
  EXPECT_EQ(dlg->ReservationText(0, 1), "88200");

  // Ctrl+click on the highlighted row leaves nothing to act on.
  ClickRow(0);
  QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, center(0));
  EXPECT_EQ(List()->SelectedRow(), -1);
  EXPECT_FALSE(Enabled(1030));
  EXPECT_FALSE(Enabled(1036));
}

TEST_F(MainDialogTest, FadeLengthsTakeDigitsOnly) {
  StartWithSong(1);
  for (const int id : {1042, 1046, 1048}) {
    auto* length = qobject_cast<QLineEdit*>(dlg->Control(id));
    length->clear();
    QTest::keyClicks(length, "-15x00");
    EXPECT_EQ(length->text(), QStringLiteral("1500")) << id;
    EXPECT_EQ(length->alignment() & Qt::AlignRight, Qt::AlignRight) << id;
  }
}

// What the export reads: each length with its box, a box only while enabled;
// de-click offers 5 ms.
TEST_F(MainDialogTest, ExportOptionsAreReadable) {
  StartWithSong(1);
  EXPECT_EQ(dlg->ExportOptions().declick.text, "5");
  for (const int id : {1041, 1043, 1045, 1047, 1049, 1050}) {
    qobject_cast<QCheckBox*>(dlg->Control(id))->setChecked(true);
  }
  qobject_cast<QLineEdit*>(dlg->Control(1042))->setText(QStringLiteral("1500"));
  qobject_cast<QLineEdit*>(dlg->Control(1046))->setText(QStringLiteral("20"));
  ExportChoices choices = dlg->ExportOptions();
  EXPECT_TRUE(choices.fadeOut.ticked && choices.fadeIn.ticked && choices.declick.ticked);
  EXPECT_EQ(choices.fadeOut.text, "1500");
  EXPECT_EQ(choices.fadeIn.text, "20");
  EXPECT_TRUE(choices.join && choices.stripMetadata && choices.verify);
  EXPECT_FALSE(choices.nameByLabels);
  EXPECT_TRUE(dlg->JoinChecked());
  EXPECT_EQ(dlg->LengthText(), "1000\n44100");
  dlg->Control(1045)->setEnabled(false);
  EXPECT_FALSE(dlg->ExportOptions().fadeIn.ticked);
}

}  // namespace
}  // namespace snipora::test
