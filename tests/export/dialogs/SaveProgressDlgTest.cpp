#include "export/dialogs/save_progress_dialog.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "tests/export/export_test_support.h"
#include "tests/support/qt_application.h"
#include "tests/support/scripted_ui.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

struct Fixture : HostedSource {
  ScriptedUi ui;

  Fixture()
      : HostedSource("song.wav", {2, 16, 44100, 300000, 0, 31}, {{0, 100000}, {100000, 300000}}) {
    EnsureApplication();
  }
};

TEST(SaveProgressDlg, ControlsCarryTheirIds) {
  Fixture f;
  CSaveProgressDlg dialog(f.host, f.ui);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("保存しています"));
  EXPECT_NE(dialog.findChild<QProgressBar*>("1039"), nullptr);
  EXPECT_NE(dialog.findChild<QProgressBar*>("1040"), nullptr);
  auto* cancel = dialog.findChild<QPushButton*>("2");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
}

// Shown, the dialog runs the joined export exactly once (a second start
// while the first pumps events is swallowed) and closes itself.
TEST(SaveProgressDlg, RunsTheCheckedExportOnceAndCloses) {
  Fixture f;
  f.host.choices.join = true;
  f.ui.files.push_back(f.dir.File("joined.wav"));
  CSaveProgressDlg dialog(f.host, f.ui);
  int starts = 0;
  f.host.onFullPath = [&] {
    ++starts;
    dialog.RunExport();  // as if the start arrived again during the export
  };
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  dialog.RunExport();  // a start left over after the export ended
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(dialog.LastResult());
  EXPECT_TRUE(f.host.cleared);
  EXPECT_EQ(fs::file_size(f.dir.File("joined.wav")), 46u + 1200000);
  // One bar for the one file, by bytes, full at the end.
  auto* overall = dialog.findChild<QProgressBar*>("1040");
  EXPECT_EQ(overall->maximum(), 1200000);
  EXPECT_EQ(overall->value(), 1200000);
  EXPECT_TRUE(dialog.findChild<QProgressBar*>("1039")->isHidden());
  EXPECT_TRUE(
      dialog.findChild<QLabel*>("done")->text().startsWith(QStringLiteral("1.2 MB / 1.2 MB")))
      << dialog.findChild<QLabel*>("done")->text().toStdString();
}

// Cancel pressed while the split export copies: the piece being written and
// the folder made for the pieces are removed, the dialog closes and the
// reservations stay unsaved.
TEST(SaveProgressDlg, CancelStopsTheSplitExport) {
  Fixture f;
  CSaveProgressDlg dialog(f.host, f.ui);
  f.host.onFullPath = [&] {
    QTimer::singleShot(0, &dialog, [&] { dialog.findChild<QPushButton*>("2")->click(); });
  };
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_TRUE(dialog.CancelRequested());
  EXPECT_FALSE(dialog.LastResult());
  EXPECT_FALSE(f.host.cleared);
  EXPECT_TRUE(f.ui.asked.empty());
  EXPECT_FALSE(fs::exists(f.dir.File("song")));
  EXPECT_TRUE(f.host.stoppedCancelled);
}

}  // namespace
}  // namespace snipora
