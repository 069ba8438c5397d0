// Editing where the user looks: the mouse on the waveform, cells of the list,
// undo after an import. The rules behind them are proven in the model's
// tests; these check that the window wires input to them.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/reservation_list.h"
#include "tests/app/main_dialog_fixture.h"
#include "waveform/widgets/detail_view.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora::test {
namespace {

class WaveformEditingTest : public MainDialogTest {
 protected:
  CDetailView* Detail() const { return dlg->Waveform()->Detail(); }
  // The point of the detail view's wave area over `frame`.
  QPoint At(uint64_t frame) const {
    const double x = Detail()->Span().XOf(static_cast<double>(frame));
    return QPoint(static_cast<int>(x) + 1, Detail()->height() / 2);
  }
  uint64_t FrameAt(QPoint point) const {
    return Detail()->Span().FrameAt(point.x(), dlg->Model().TotalFrames());
  }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(Detail(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Detail(), (from + to) / 2);
    QTest::mouseMove(Detail(), to);
    QTest::mouseRelease(Detail(), Qt::LeftButton, {}, to);
  }
  CReservationList* List() const { return qobject_cast<CReservationList*>(dlg->Control(1022)); }
  // One row from 1 s to 2 s, no marker set.
  void OneRow() {
    StartWithSong(10);
    MarkAt(1, kBytesPerSecond);
    MarkAt(2, 2 * kBytesPerSecond);
    Click(1026);
    Click(1024);
    Click(1025);
    SeekBytes(0);
  }
};

TEST_F(WaveformEditingTest, ADragSelectsWithBothMarkersInOneStep) {
  StartWithSong(10);
  const QPoint from = At(88200), to = At(44100);
  Drag(from, to);
  EXPECT_EQ(dlg->MarkerPosition(1), FrameAt(to) * 4);
  EXPECT_EQ(dlg->MarkerPosition(2), FrameAt(from) * 4);
  EXPECT_EQ(Bytes(), FrameAt(to) * 4);  // the position goes to the selection's start
  dlg->Undo();
  EXPECT_FALSE(dlg->MarkerSet(1));
  EXPECT_FALSE(dlg->MarkerSet(2));
}

TEST_F(WaveformEditingTest, DraggingAnEdgeChangesTheRow) {
  OneRow();
  const QPoint to = At(3 * 44100);
  Drag(At(2 * 44100), to);
  EXPECT_EQ(dlg->ReservationText(0, 1), "44100");
  EXPECT_EQ(dlg->ReservationText(0, 2), std::to_string(FrameAt(to)));
  EXPECT_FALSE(dlg->MarkerSet(1));  // an edge, not the selection
}

TEST_F(WaveformEditingTest, ARegionClickHighlightsItsRowAndTheRowItsRegion) {
  OneRow();
  const QPoint row = List()->visualItemRect(List()->topLevelItem(0)).center();
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row);
  EXPECT_TRUE(dlg->Waveform()->Regions()[0].highlighted);
  // Ctrl+click takes the highlight off the row and its region.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, row);
  EXPECT_FALSE(dlg->Waveform()->Regions()[0].highlighted);
  EXPECT_EQ(List()->SelectedRow(), -1);
  QTest::mouseClick(Detail(), Qt::LeftButton, {}, At(66150));
  EXPECT_EQ(List()->SelectedRow(), 0);
  EXPECT_TRUE(Enabled(1030));
  EXPECT_EQ(Bytes(), FrameAt(At(66150)) * 4);  // and the click seeks
}

TEST_F(WaveformEditingTest, ABadCellIsRefusedWithTheReason) {
  OneRow();
  QApplication::setActiveWindow(dlg.get());
  QTreeWidgetItem* item = List()->topLevelItem(0);
  const QPoint start =
      List()->visualItemRect(item).topLeft() + QPoint(List()->columnViewportPosition(1) + 5, 5);
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, start);
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, start);
  auto* editor = List()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("2000x"));
  QTest::keyClick(editor, Qt::Key_Return);
  // The reason comes once the editor has closed.
  for (int i = 0; i < 200 && ui.asked.empty(); ++i) QTest::qWait(5);
  EXPECT_EQ(dlg->ReservationText(0, 1), "44100");
  EXPECT_EQ(item->text(1).toStdString(), "44100");
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_NE(ui.asked[0].text.find("数字だけ"), std::string::npos) << ui.asked[0].text;
}

TEST_F(WaveformEditingTest, CtrlZAfterAnImportRemovesAllItsRows) {
  StartWithSong(10);
  const std::string list = Sounds().File("three.csv");
  const std::string text = "0,100,a\n200,300,b\n400,500,c\n";
  WriteFileBytes(list, test::Bytes(text.begin(), text.end()));
  ui.files = {list};
  dlg->MenuAction(32778)->trigger();
  ASSERT_EQ(dlg->ReservationCount(), 3);
  QApplication::setActiveWindow(dlg.get());
  QTest::keyClick(dlg->Control(1023), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(dlg->ReservationCount(), 0);
  EXPECT_FALSE(dlg->HasUnsavedReservations());
}

}  // namespace
}  // namespace snipora::test
