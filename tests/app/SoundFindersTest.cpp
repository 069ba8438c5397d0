#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/model/silence_settings.h"
#include "app/silence_dialog.h"
#include "loopsearch/dialogs/loop_candidates_dlg.h"
#include "tests/app/main_dialog_fixture.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "waveform/widgets/waveform_view.h"

// Tools → finding sounds between silences and loop detection, as the user
// drives them: the preview follows the values, the found ranges are added in
// one step, a known loop is listed first and choosing it sets the markers.
namespace snipora::test {
namespace {

// Lets the dialog's read of the file finish (boundedly).
void AwaitSounds(const CSilenceDlg& dialog) {
  for (int i = 0; i < 500 && dialog.Following(); ++i) {
    QTest::qWait(10);
  }
}

std::string FrameSpans(const std::vector<FrameRange>& ranges) {
  std::string text;
  for (const FrameRange& r : ranges)
    text += (text.empty() ? "" : " ") + std::to_string(r.first) + "-" + std::to_string(r.last);
  return text;
}

class SoundFindersTest : public MainDialogTest {};

TEST_F(SoundFindersTest, ThePreviewFollowsTheValuesAndAddIsOneStep) {
  // 8000 Hz mono: sounds at 1-2 s and 3-3.5 s and 3.7-4 s (a 200 ms gap), 5 s in all.
  Samples values(40000);
  for (const auto& [from, to] : {std::pair{8000, 16000}, {24000, 28000}, {29600, 32000}})
    for (int i = from; i < to; ++i) values[static_cast<size_t>(i)] = i % 2 ? 8000 : -8000;
  const std::string path = Sounds().File("gaps.wav");
  WriteWave16(path, values, 1, 8000);
  StartWith(path);

  OnNextModal<CSilenceDlg>([this](CSilenceDlg& find) {
    AwaitSounds(find);
    // The defaults: silences of a second at least, 400 frames of padding.
    EXPECT_EQ(FrameSpans(dlg->Waveform()->Preview()), "7600-16400 23600-32400");
    find.findChild<QSpinBox*>("minSilence")->setValue(150);
    find.findChild<QSpinBox*>("pad")->setValue(0);
    AwaitSounds(find);
    EXPECT_EQ(FrameSpans(dlg->Waveform()->Preview()), "8000-16000 24000-28000 29600-32000");
    auto* add = find.findChild<QPushButton*>("add");
    EXPECT_EQ(add->text().toStdString(), "3 個の範囲を追加");
    add->click();
  });
  dlg->OnMenuFindSounds();
  EXPECT_TRUE(dlg->Waveform()->Preview().empty());
  ASSERT_EQ(dlg->ReservationCount(), 3);
  EXPECT_EQ(dlg->ReservationText(2, 1), "29600");
  EXPECT_EQ(dlg->ReservationText(2, 2), "32000");
  dlg->Undo();
  EXPECT_EQ(dlg->ReservationCount(), 0);
  dlg->Redo();
  EXPECT_EQ(dlg->ReservationCount(), 3);
  EXPECT_EQ(LoadSilenceRules().minSilenceMs, 150u);  // the values are kept
}

// The copy saved from the list holds the file up to the loop's end, the loop
// again and a second of fade from its start (the rule is the engine's). The
// loop kept for Save goes into the smpl chunk of the piece that holds it.
TEST_F(SoundFindersTest, AKnownLoopIsListedFirstChosenSavedExtendedAndKept) {
  // 8000 Hz mono noise whose frames 4000-12000 recur at 20000: a loop 4000-20000.
  const std::string path = Sounds().File("loop.wav");
  const Samples values = NoiseWithRepeat(40000, 4000, 8000, 20000, 3);
  WriteWave16(path, values, 1, 8000);
  StartWith(path);
  MarkAt(1, 4000 * 2);
  MarkAt(2, 36000 * 2);
  const std::string copy = Sounds().File("copy.wav");
  ui.files.push_back(copy);

  OnNextModal<CLoopCandidatesDlg>([](CLoopCandidatesDlg& search) {
    search.findChild<QPushButton*>("1")->click();  // runs the search in its progress dialog
    ASSERT_FALSE(search.Candidates().empty());
    const LoopCandidate& best = search.Candidates().front();
    EXPECT_EQ(std::make_pair(best.startFrame, best.endFrame),
              std::make_pair(uint64_t{4000}, uint64_t{20000}));
    EXPECT_EQ(best.seamDifference, 0u);
    auto* table = search.findChild<QTableWidget*>("candidates");
    EXPECT_EQ(table->item(0, 0)->text().toStdString(), "0:00:00.500");
    EXPECT_EQ(table->item(0, 2)->text().toStdString(), "0:00:02.000");
    table->selectRow(0);
    search.findChild<QPushButton*>("keep")->click();
    search.findChild<QSpinBox*>("fade")->setValue(1000);
    search.findChild<QPushButton*>("saveExtended")->click();
    search.reject();
  });
  dlg->OnMenuLoopSearch();
  EXPECT_EQ(dlg->MarkerPosition(1), 4000u * 2);
  EXPECT_EQ(dlg->MarkerPosition(2), 20000u * 2);
  dlg->Undo();
  EXPECT_EQ(dlg->MarkerPosition(2), 36000u * 2);

  const std::vector<uint8_t> written = ReadFileBytes(copy);
  ASSERT_EQ(written.size(), 46u + 2 * (20000 + 16000 + 8000));
  const std::vector<uint8_t> data = SampleBytes(values);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 40000, written.begin() + 46));
  EXPECT_TRUE(std::equal(data.begin() + 8000, data.begin() + 40000, written.begin() + 46 + 40000));

  dlg->AddReservation();  // frames 4000-36000, which hold the loop
  const std::string piece = Sounds().File("piece.wav");
  ui.files.push_back(piece);
  dlg->OnMenuSave();
  EXPECT_EQ(SndfileLoops(piece), std::vector<std::string>{"0-15999"});
}

TEST_F(SoundFindersTest, ASilentStartSaysItCannotAnchorALoop) {
  const std::string path = Sounds().File("silent.wav");
  WriteWave16(path, Samples(40000), 1, 8000);
  StartWith(path);
  OnNextModal<CLoopCandidatesDlg>([](CLoopCandidatesDlg& search) {
    search.findChild<QPushButton*>("1")->click();
    EXPECT_TRUE(search.Candidates().empty());
    EXPECT_EQ(search.findChild<QLabel*>("status")->text().toStdString(), kLoopConstantWindowText);
    search.reject();
  });
  dlg->OnMenuLoopSearch();
  ASSERT_FALSE(ui.asked.empty());
  EXPECT_EQ(ui.asked.back().text, kLoopConstantWindowText);
}

}  // namespace
}  // namespace snipora::test
