#include "loopsearch/dialogs/loop_search_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "loopsearch/dialogs/loop_progress_dlg.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "tests/support/qt_application.h"

namespace snipora {
namespace {

using test::Distances;

class LoopSearchDlgTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  template <class Widget>
  static Widget* Control(QWidget& dialog, int id) {
    auto* widget = dialog.findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
  }

  static std::vector<std::string> ListedResults(QWidget& dialog) {
    std::vector<std::string> texts;
    QListWidget* list = Control<QListWidget>(dialog, 1046);
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
  }

  // 8000 Hz stereo noise whose 2000 values at the start recur 20601 values
  // (41202 bytes, more than one second) later; "250ミリ秒" is a window of 2000
  // values.
  void WriteRecurrence() {
    host_.path = dir_.File("recurrence.wav");
    host_.info =
        test::WriteWave16(host_.path, test::NoiseWithRepeat(40000, 0, 2000, kRepeat, 21), 2, 8000);
  }

  static constexpr uint32_t kRepeat = 20601;
  test::TempDir dir_;
  test::FakeHost host_;
};

TEST_F(LoopSearchDlgTest, DefaultsFollowTheMarkersThatAreSet) {
  struct Row {
    bool marker1, marker2;
    int checkedSource;
  } rows[] = {{false, false, 1037}, {true, false, 1035}, {false, true, 1036}, {true, true, 1035}};
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message()
                 << "marker 1 " << row.marker1 << ", marker 2 " << row.marker2);
    host_.marker1Set = row.marker1;
    host_.marker2Set = row.marker2;
    CLoopSearchDlg dialog(host_);
    dialog.show();
    const std::pair<int, bool> enabled[] = {
        {1035, row.marker1}, {1036, row.marker2}, {1037, true}, {1041, true},
        {1038, row.marker1}, {1039, row.marker2}, {1040, true},
    };
    for (auto [id, on] : enabled) {
      QRadioButton* radio = Control<QRadioButton>(dialog, id);
      EXPECT_EQ(radio->isEnabled(), on) << id;
      EXPECT_EQ(radio->isChecked(), id == row.checkedSource || id == 1041) << id;
    }
    QComboBox* lengths = Control<QComboBox>(dialog, 1044);
    ASSERT_EQ(lengths->count(), 6);
    EXPECT_EQ(lengths->itemText(0), QStringLiteral("250ミリ秒"));
    EXPECT_EQ(lengths->itemText(5), QStringLiteral("10秒"));
    EXPECT_EQ(lengths->currentText(), QStringLiteral("500ミリ秒"));
    QComboBox* precisions = Control<QComboBox>(dialog, 1045);
    ASSERT_EQ(precisions->count(), 6);
    EXPECT_EQ(precisions->itemText(0), QStringLiteral("0(完全)"));
    EXPECT_EQ(precisions->currentText(), QStringLiteral("128(中精度)"));
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1042)->text().isEmpty());
    EXPECT_FALSE(Control<QPushButton>(dialog, 1001)->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(dialog, 1)->isDefault());
    EXPECT_EQ(Control<QListWidget>(dialog, 1046)->count(), 0);
    EXPECT_EQ(host_.playerQueries, 0);
  }
}

TEST_F(LoopSearchDlgTest, SearchesListTheirResultsAndTheDialogStaysOpen) {
  WriteRecurrence();
  host_.marker1Set = true;
  host_.marker1 = 0;
  host_.playerPosition = 2 * 22000;  // past the recurrence
  CLoopSearchDlg dialog(host_);
  dialog.show();
  Control<QComboBox>(dialog, 1044)->setCurrentIndex(0);

  Control<QPushButton>(dialog, 1)->click();
  EXPECT_EQ(ListedResults(dialog), Distances({0, 2 * kRepeat}));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(host_.playerQueries, 0);

  // Comparing from the current position: the earlier results are replaced.
  Control<QRadioButton>(dialog, 1040)->click();
  Control<QPushButton>(dialog, 1)->click();
  EXPECT_TRUE(ListedResults(dialog).empty());
  EXPECT_EQ(host_.playerQueries, 1);

  // A one-second distance (32000 bytes) stops short of the recurrence.
  Control<QRadioButton>(dialog, 1041)->click();
  Control<QLineEdit>(dialog, 1042)->setText(QStringLiteral("1"));
  Control<QPushButton>(dialog, 1)->click();
  EXPECT_EQ(ListedResults(dialog), Distances({0}));
  EXPECT_TRUE(host_.ui.asked.empty());

  Control<QPushButton>(dialog, 2)->click();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LoopSearchDlgTest, EightBitFileIsSearched) {
  host_.path = dir_.File("eight.wav");
  host_.info = test::WriteWave(host_.path, test::SeededBytes(16000, 5), 1, 8000, 8);
  CLoopSearchDlg dialog(host_);
  dialog.show();
  Control<QPushButton>(dialog, 1)->click();
  EXPECT_TRUE(host_.ui.asked.empty());
  EXPECT_EQ(ListedResults(dialog), Distances({0}));
}

TEST_F(LoopSearchDlgTest, StopButtonKeepsTheResultsFoundSoFar) {
  WriteRecurrence();
  host_.marker1Set = true;
  CLoopSearchDlg dialog(host_);
  dialog.show();
  Control<QComboBox>(dialog, 1044)->setCurrentIndex(0);

  // Presses "中止" as soon as the progress dialog handles its events.
  int presses = 0;
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<CLoopProgressDlg*>(widget);
      if (progress == nullptr || !progress->isVisible()) continue;
      progress->findChild<QPushButton*>(QStringLiteral("2"))->click();
      ++presses;
    }
  });
  stopper.start(0);
  Control<QPushButton>(dialog, 1)->click();
  stopper.stop();

  EXPECT_GE(presses, 1);
  EXPECT_EQ(ListedResults(dialog), Distances({0}));
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    EXPECT_EQ(qobject_cast<CLoopProgressDlg*>(widget), nullptr);
  }
}

// 8000 Hz stereo, W = 2000: each block adds 2000 * 1000 / 8000 / 2 = 125 ms;
// one second (32000 bytes) is the first block of 8000 bytes and six more.
TEST_F(LoopSearchDlgTest, ProgressDialogShowsTheSearchAndClosesAfterIt) {
  WriteRecurrence();
  LoopSearchSettings settings;
  settings.lengthIndex = 0;
  settings.distanceText = "1";
  test::RecordingResults results;
  CLoopProgressDlg progress(MakeLoopSearchInput(host_, settings), results, host_.ui);
  EXPECT_EQ(progress.windowTitle(), QStringLiteral("ループ検出"));
  EXPECT_EQ(Control<QLabel>(progress, 1047)->text(), QStringLiteral("0 / 0\n0"));

  EXPECT_EQ(progress.exec(), QDialog::Accepted);
  EXPECT_EQ(progress.Outcome(), LoopSearchEnd::Completed);
  EXPECT_FALSE(progress.isVisible());
  EXPECT_EQ(results.texts, Distances({0}));
  EXPECT_EQ(Control<QLabel>(progress, 1047)->text(), QStringLiteral("750 / 1000\n1"));
  EXPECT_EQ(Control<QProgressBar>(progress, 1039)->maximum(), 1000);
  EXPECT_EQ(Control<QProgressBar>(progress, 1039)->value(), 750);
}

}  // namespace
}  // namespace snipora
