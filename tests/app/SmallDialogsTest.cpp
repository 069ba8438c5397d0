#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/jump_dialog.h"
#include "app/qt_ui_services.h"
#include "resources/string_table.h"
#include "tests/app/main_dialog_fixture.h"

namespace snipora {
namespace {

TEST(FileFilter, ConvertsPipeSeparatedPairsToQtFilters) {
  struct Case {
    const char* name;
    std::string filter;
    QString expected;
  };
  const Case cases[] = {
      // A label's own pattern list gives way to the real one.
      {"open dialog", "WAVE サウンド(*.wav)|*.wav;*.nwa|全てのファイル(*)|*||",
       QStringLiteral("WAVE サウンド (*.wav *.nwa);;全てのファイル (*)")},
      {"save dialog", "WAVEサウンド(*.wav)|*.wav||", QStringLiteral("WAVEサウンド (*.wav)")},
      {"no closing bars", "A|*.a", QStringLiteral("A (*.a)")},
      {"dangling label", "A|*.a|B", QStringLiteral("A (*.a)")},
      {"empty", "", QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertFileFilter(c.filter), c.expected) << c.name;
}

// Answers the next message box by the button whose text starts with `prefix`
// and reports the text it showed.
void AnswerNextBox(const QString& prefix, QString* shownText) {
  QTimer::singleShot(0, [prefix, shownText] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    *shownText = box->text();
    for (QAbstractButton* button : box->buttons()) {
      if (button->text().startsWith(prefix)) return button->click();
    }
    ADD_FAILURE() << "no button " << prefix.toStdString();
  });
}

TEST(QtUiServices, ShowsStringTableTextsAndMapsTheAnswers) {
  test::EnsureApplication();
  CQtUiServices ui;
  QString shown;
  AnswerNextBox(QStringLiteral("はい"), &shown);
  EXPECT_EQ(ui.ShowMessage(108, MessageButtons::YesNo), MessageAnswer::Yes);
  EXPECT_EQ(shown, QString::fromUtf8(StringTableText(108)));
  AnswerNextBox(QStringLiteral("いいえ"), &shown);
  EXPECT_EQ(ui.ShowMessage(102, MessageButtons::YesNo), MessageAnswer::No);
  EXPECT_EQ(shown, QString::fromUtf8(StringTableText(102)));
  AnswerNextBox(QStringLiteral("OK"), &shown);
  EXPECT_EQ(ui.ShowText("ループが見つかりません", MessageButtons::Ok), MessageAnswer::Ok);
  EXPECT_EQ(shown, QStringLiteral("ループが見つかりません"));
}

TEST(JumpValue, AcceptsPositionsUpToTheEndOfTheData) {
  // 44100 Hz 16-bit stereo, exactly 10 s of data.
  const JumpLimits limits{"10000\n441000", 44100, 4, 1764000};
  struct Case {
    const char* text;
    bool milliseconds;
    std::optional<uint32_t> bytes;
  };
  const Case cases[] = {
      {"0", true, 0u},
      {"1", true, 176u},  // frame 44, at or before 1 ms
      {"10000", true, 1764000u},
      {"10001", true, std::nullopt},
      {"441000", false, 1764000u},
      {"441001", false, std::nullopt},
      {"1", false, 4u},
      // Milliseconds also as the window shows times; a fraction of one is no number.
      {"0:00:01.000", true, 176400u},
      {"0:10.000", true, 1764000u},
      {"1.5", true, std::nullopt},
      {"0:01.000", false, std::nullopt},
      // 2^30 samples x 4 would wrap in 32 bits; it is still refused.
      {"1073741824", false, std::nullopt},
      // 2^62 samples x 4 would wrap in 64 bits.
      {"4611686018427387904", false, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JumpTargetBytes(c.text, c.milliseconds, limits), c.bytes)
        << c.text << " ms=" << c.milliseconds;
  }
  // A file past 4 GiB: targets beyond 4 GiB in either unit.
  const JumpLimits large{"", 44100, 4, uint64_t{6} << 30};
  EXPECT_EQ(JumpTargetBytes("1500000000", false, large), uint64_t{6000000000});
  EXPECT_EQ(JumpTargetBytes("30000000", true, large), uint64_t{5292000000});
}

TEST(JumpDialog, RefusesWithMessage106AndStaysOpenThenAccepts) {
  test::EnsureApplication();
  test::ScriptedUi ui;
  CJumpDlg jump(nullptr, ui, {"10000\n441000", 44100, 4, 1764000});
  EXPECT_EQ(qobject_cast<QLabel*>(jump.Control(1038))->text(), QStringLiteral("10000\n441000"));
  EXPECT_TRUE(qobject_cast<QRadioButton*>(jump.Control(1035))->isChecked());
  jump.show();
  auto* edit = qobject_cast<QLineEdit*>(jump.Control(1037));
  for (const char* refused : {"", "abc", "4294967295", "10001"}) {
    edit->setText(QString::fromUtf8(refused));
    jump.accept();
    EXPECT_TRUE(jump.isVisible()) << refused;
    EXPECT_EQ(jump.Result(), 0u);
  }
  EXPECT_EQ(ui.MessageIds(), (std::vector<int>{106, 106, 106, 106}));

  qobject_cast<QRadioButton*>(jump.Control(1036))->setChecked(true);
  edit->setText(QStringLiteral("441000"));
  jump.accept();
  EXPECT_EQ(jump.result(), QDialog::Accepted);
  EXPECT_EQ(jump.Result(), 1764000u);
  EXPECT_EQ(ui.MessageIds().size(), 4u);
}

}  // namespace
}  // namespace snipora
