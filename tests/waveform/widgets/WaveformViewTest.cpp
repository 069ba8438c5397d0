#include "waveform/widgets/waveform_view.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <tuple>

#include <gtest/gtest.h>

#include "tests/waveform/signal_files.h"
#include "waveform/widgets/detail_view.h"
#include "waveform/widgets/overview_strip.h"
#include "waveform/widgets/waveform_paint.h"

namespace snipora::test {
namespace {

constexpr int kWidth = 640;

QApplication& App() {
  static int argc = 1;
  static char name[] = "waveform-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class WaveformViewTest : public testing::Test {
 protected:
  WaveformViewTest() {
    view.resize(kWidth, 300);
    view.show();
  }

  void Open(const SignalFile& file) {
    view.SetFile(file.path, file.info);
    while (!view.Peaks()->Finished()) QTest::qWait(5);
    QTest::qWait(80);  // one more poll draws the last peaks
  }

  std::vector<quint64> Requested(QSignalSpy& spy) {
    std::vector<quint64> frames;
    for (const QList<QVariant>& args : spy) frames.push_back(args[0].toULongLong());
    spy.clear();
    return frames;
  }

  QApplication& app = App();  // before any widget
  TempDir dir;
  CWaveformView view;
};

// A click asks for its frame; a drag selects from the frame pressed.
TEST_F(WaveformViewTest, OverviewClickSeeksAndDragSelects) {
  const SignalFile file = WriteSignalFile(dir.File("a.wav"), 100003, {Sine(0.5, 441)});
  Open(file);
  QWidget* strip = view.Overview();
  ASSERT_EQ(strip->width(), kWidth);
  QSignalSpy seeks(view.Overview(), &CWavePane::PositionRequested);
  QSignalSpy selections(view.Overview(), &CWavePane::SelectionDragged);
  QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(0, 10));
  QTest::mouseMove(strip, QPoint(320, 10));
  QTest::mouseMove(strip, QPoint(kWidth + 50, 10));  // past the end: the end
  QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(kWidth + 50, 10));
  QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(101, 10));
  EXPECT_EQ(Requested(seeks), (std::vector<quint64>{101 * 100003ull / kWidth}));
  ASSERT_EQ(selections.size(), 3);
  const auto selection = [&](int i) {
    return std::tuple(selections[i][0].toULongLong(), selections[i][1].toULongLong(),
                      selections[i][2].toBool());
  };
  EXPECT_EQ(selection(0), std::tuple(0ull, 320 * 100003ull / kWidth, false));
  EXPECT_EQ(selection(2), std::tuple(0ull, 100003ull, true));
}

// At the closest zoom (32 pixels per sample) the mouse points at exact
// samples; the picture holds still from the press until the position moves
// on after the release, so the mouse keeps pointing at the same samples.
TEST_F(WaveformViewTest, DetailAtSampleZoomPointsAtExactSamples) {
  const SignalFile file = WriteSignalFile(dir.File("b.wav"), 44100, {Sine(0.5, 100), Silence()});
  Open(file);
  CDetailView* detail = view.Detail();
  ASSERT_EQ(detail->width(), kWidth);
  detail->SetFramesPerPixel(0);  // clamps to the closest zoom
  ASSERT_EQ(detail->FramesPerPixel(), 1.0 / 32);
  const uint64_t p = 20000;
  view.SetPosition(p);
  // kWidth / 32 = 20 samples across, the position in the middle: p - 10 at x 0.
  const auto xOf = [](int sampleFromLeft) { return QPoint(sampleFromLeft * 32 + 16, 60); };
  QSignalSpy seeks(detail, &CWavePane::PositionRequested);
  QSignalSpy selections(detail, &CWavePane::SelectionDragged);
  QTest::mousePress(detail, Qt::LeftButton, {}, xOf(13));
  view.SetPosition(p + 3);
  QTest::mouseMove(detail, xOf(18));
  view.SetPosition(p + 8);
  QTest::mouseRelease(detail, Qt::LeftButton, {}, xOf(18));
  ASSERT_EQ(selections.size(), 2);
  EXPECT_EQ(selections[1][0].toULongLong(), p + 3);
  EXPECT_EQ(selections[1][1].toULongLong(), p + 8);
  QTest::mouseClick(detail, Qt::LeftButton, {}, QPoint(31, 60));  // still sample 0 from the left
  view.SetPosition(p + 9);
  QTest::mouseClick(detail, Qt::LeftButton, {}, QPoint(31, 60));  // followed the position
  EXPECT_EQ(Requested(seeks), (std::vector<quint64>{p - 10, p + 9 - 10}));
}

TEST_F(WaveformViewTest, WheelAndKeysZoomWithinLimits) {
  const SignalFile file = WriteSignalFile(dir.File("c.wav"), 441000, {Sine(0.5, 100)});
  Open(file);
  CDetailView* detail = view.Detail();
  const double start = detail->FramesPerPixel();
  QWheelEvent up(QPointF(10, 50), detail->mapToGlobal(QPointF(10, 50)), {}, QPoint(0, 120),
                 Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(detail, &up);
  EXPECT_EQ(detail->FramesPerPixel(), start / 2);
  QTest::keyClick(detail, Qt::Key_Minus);
  QTest::keyClick(detail, Qt::Key_Minus);
  EXPECT_EQ(detail->FramesPerPixel(), start * 2);
  for (int i = 0; i < 40; ++i) QTest::keyClick(detail, Qt::Key_Minus);
  EXPECT_EQ(detail->FramesPerPixel(), 441000.0 / kWidth);  // the whole file
}

// A new file while the old one's peaks are still being computed: the old work
// is cancelled and nothing of it shows in the new picture.
TEST_F(WaveformViewTest, NewFileReplacesPeaksOfTheOldOne) {
  const SignalFile loud = WriteSignalFile(dir.File("loud.wav"), 3000000, {Sine(1.0, 50)});
  const SignalFile quiet = WriteSignalFile(dir.File("quiet.wav"), 44100, {Sine(0.25, 441)});
  view.SetFile(loud.path, loud.info);
  Open(quiet);
  PeakPair peak{};
  ASSERT_TRUE(view.Peaks()->Peak(0, 0, 44100, peak));
  const auto [lo, hi] = quiet.Extremes(0, 0, 44100);
  EXPECT_EQ(peak.min, lo);
  EXPECT_EQ(peak.max, hi);
  view.SetPosition(22050);
  EXPECT_EQ(view.PositionText(), "0:00:00.500 / 0:00:01.000");
}

// Every zoom level draws the wave: the summary, columns of frames read
// directly, and sample points.
TEST_F(WaveformViewTest, EveryZoomDrawsTheWave) {
  const SignalFile file =
      WriteSignalFile(dir.File("d.wav"), 441000, {Sine(0.8, 97), Sine(0.4, 31)});
  Open(file);
  view.SetPosition(200000);
  view.SetMarkers(190000, 210000);
  view.SetRegions({{{100000, 150000}, "Intro", true, false}});
  const QColor wave = ColoursFor(view.palette()).wave;
  const auto waveDrawn = [&](QWidget* widget) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == wave) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(waveDrawn(view.Overview()));
  for (const double fpp : {2000.0, 16.0, 0.5, 1.0 / 32}) {
    view.Detail()->SetFramesPerPixel(fpp);
    EXPECT_TRUE(waveDrawn(view.Detail())) << fpp;
  }
}

}  // namespace
}  // namespace snipora::test
