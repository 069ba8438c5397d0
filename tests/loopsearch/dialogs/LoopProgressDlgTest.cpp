#include "loopsearch/dialogs/loop_progress_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "loopsearch/loop_search_options.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "tests/support/qt_application.h"

// The dialog that runs a loop search: its progress, its closing when the
// search ends, and "中止" keeping what was found.
namespace snipora {
namespace {

using test::Distances;

class LoopProgressDlgTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  template <class Widget>
  static Widget* Control(QWidget& dialog, int id) {
    auto* widget = dialog.findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
  }

  // 8000 Hz stereo noise whose 2000 values at the start recur 20601 values
  // (41202 bytes, more than one second) later; length choice 0 is a window of
  // 2000 values. `seconds` limits how far the search compares ("" = all).
  LoopSearchInput RecurrenceSearch(const char* seconds) {
    host_.path = dir_.File("recurrence.wav");
    host_.info =
        test::WriteWave16(host_.path, test::NoiseWithRepeat(40000, 0, 2000, 20601, 21), 2, 8000);
    LoopSearchSettings settings;
    settings.lengthIndex = 0;
    settings.distanceText = seconds;
    return MakeLoopSearchInput(host_, settings);
  }

  test::TempDir dir_;
  test::FakeHost host_;
  test::RecordingResults results_;
};

// W = 2000: each block adds 2000 * 1000 / 8000 / 2 = 125 ms; one second
// (32000 bytes) is the first block of 8000 bytes and six more.
TEST_F(LoopProgressDlgTest, ShowsTheSearchAndClosesAfterIt) {
  CLoopProgressDlg progress(RecurrenceSearch("1"), results_, host_.ui);
  EXPECT_EQ(Control<QLabel>(progress, 1047)->text(), QStringLiteral("0 / 0\n0"));

  EXPECT_EQ(progress.exec(), QDialog::Accepted);
  EXPECT_EQ(progress.Outcome(), LoopSearchEnd::Completed);
  EXPECT_FALSE(progress.isVisible());
  EXPECT_EQ(results_.texts, Distances({0}));
  EXPECT_EQ(Control<QLabel>(progress, 1047)->text(), QStringLiteral("750 / 1000\n1"));
  EXPECT_EQ(Control<QProgressBar>(progress, 1039)->value(), 750);
}

TEST_F(LoopProgressDlgTest, StopKeepsTheResultsFoundSoFar) {
  CLoopProgressDlg progress(RecurrenceSearch(""), results_, host_.ui);
  // Presses "中止" as soon as the dialog handles its events.
  int presses = 0;
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (!progress.isVisible()) return;
    progress.findChild<QPushButton*>(QStringLiteral("2"))->click();
    ++presses;
  });
  stopper.start(0);
  EXPECT_EQ(progress.exec(), QDialog::Rejected);
  stopper.stop();

  EXPECT_GE(presses, 1);
  EXPECT_EQ(progress.Outcome(), LoopSearchEnd::Cancelled);
  EXPECT_EQ(results_.texts, Distances({0}));
}

}  // namespace
}  // namespace snipora
