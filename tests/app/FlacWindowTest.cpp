// The main window with FLAC files: opened through the decoder module, played as
// flac decodes them, and damage found while playing named instead of played.
#include "tests/app/main_dialog_fixture.h"
#include "tests/support/flac_files.h"

namespace snipora::test {
namespace {

using FlacWindowTest = MainDialogTest;

TEST_F(FlacWindowTest, OpensAndPlaysWhatFlacDecodes) {
  const std::string path = Sounds().File("music.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(path, {16, 2, 44100, 3 * 44100 + 17}, why)) << why;
  const test::Bytes decoded = FlacToolSamples(path);
  StartWith(path);
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("music - Snipora"));
  EXPECT_EQ(Text(1031), "3000\n132317");
  EXPECT_TRUE(ui.asked.empty());

  SeekBytes(4 * 44101);
  Click(1023);
  ASSERT_TRUE(dlg->IsPlaying());
  PlayFor(kBytesPerSecond / 2);
  dlg->OnTimer(2);
  EXPECT_EQ(Text(1032), "1500\n66151");
  const test::Bytes& heard = device.Heard();
  ASSERT_EQ(heard.size(), kBytesPerSecond / 2);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), decoded.begin() + 4 * 44101));
  Click(1023);
  EXPECT_FALSE(dlg->IsPlaying());
}

TEST_F(FlacWindowTest, DamageFoundWhilePlayingStopsWithAMessage) {
  const std::string path = Sounds().File("damaged.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(path, {16, 2, 44100, 20 * 44100}, why)) << why;
  // It opens (its header and last frame are sound); playing into the damage
  // stops with a message, and the file is open again at its start.
  test::Bytes damaged = ReadFileBytes(path);
  for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i) damaged[i] ^= 0x5A;
  WriteFileBytes(path, damaged);
  StartWith(path);
  Click(1023);
  for (int i = 0; i < 300 && dlg->IsPlaying(); ++i) {
    PlayFor(kBytesPerSecond / 10);
    QCoreApplication::processEvents();
  }
  EXPECT_FALSE(dlg->IsPlaying());
  ASSERT_FALSE(ui.asked.empty());
  EXPECT_NE(ui.asked.back().text.find("壊れた箇所"), std::string::npos) << ui.asked.back().text;
  EXPECT_TRUE(dlg->Player().IsOpen());
  EXPECT_EQ(Bytes(), 0u);
}

}  // namespace
}  // namespace snipora::test
