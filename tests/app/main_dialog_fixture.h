#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "platform/sound/test_sound_device.h"
#include "tests/support/qt_application.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

// The main dialog under test: headless, with the test sound device (the test
// moves the play cursor and delivers the player's timer ticks) and scripted
// message boxes and file dialogs.
namespace snipora::test {

// Runs `use` on the modal dialog of type Dialog once it is up, then closes
// it unless `use` did.
template <class Dialog>
void OnNextModal(std::function<void(Dialog&)> use) {
  QTimer::singleShot(0, [use] {
    auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "the expected dialog is not the active modal window";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    use(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
}

// Sound files made by sox once per test program, and a folder of each test's
// own that receives copies of them: what one test writes beside its sound
// files (a split's folder, a joined file) is never seen by another test or by
// a repeat of the same test.
class SoxSounds {
 public:
  // Starts a test with a fresh, empty folder (the previous one is removed).
  void BeginTest() { testDir_ = std::make_unique<TempDir>(); }

  // A sine of `seconds` at the given format under `name` in the test's folder.
  std::string Sine(const std::string& name, int seconds, int rate = 44100, int channels = 2,
                   int bits = 16) {
    const std::string path = File(name);
    if (!std::filesystem::exists(path)) {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      std::filesystem::copy_file(Made(seconds, rate, channels, bits), path);
    }
    return path;
  }
  std::string File(const std::string& name) {
    if (!testDir_) BeginTest();
    return testDir_->File(name);
  }

 private:
  std::string Made(int seconds, int rate, int channels, int bits) {
    const std::string format = std::to_string(seconds) + "s-" + std::to_string(rate) + "-" +
                               std::to_string(channels) + "-" + std::to_string(bits);
    const std::string path = made_.File(format + ".wav");
    if (!std::filesystem::exists(path)) {
      const CommandResult result =
          RunCommand("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                     " -b " + std::to_string(bits) + " " + ShellQuote(path) + " synth " +
                     std::to_string(seconds) + " sine 440");
      EXPECT_EQ(result.exitCode, 0) << result.output;
    }
    return path;
  }

  TempDir made_;
  std::unique_ptr<TempDir> testDir_;
};

inline SoxSounds& Sounds() {
  static SoxSounds sounds;
  return sounds;
}

class MainDialogTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kBytesPerSecond = 176400;  // 44100 Hz, 16-bit stereo

  // Every test reads and writes the settings file and its sound files in
  // folders of its own, never the user's.
  void SetUp() override {
    EnsureApplication();
    setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
    Sounds().BeginTest();
  }

  // Creates and shows the dialog; the start-up open runs from the event loop.
  void Start(const std::string& commandLine) {
    dlg.reset();  // the previous dialog's player lets go of the device first
    dlg = std::make_unique<CMainDlg>(ui, device, commandLine);
    dlg->show();
    QCoreApplication::processEvents();
  }
  // Starts with `path` on the command line and expects it open.
  void StartWith(const std::string& path) {
    Start(path);
    ASSERT_FALSE(dlg->IsEnded());
    ASSERT_TRUE(dlg->Player().IsOpen());
  }
  // "song.wav" of `seconds`, 44100 Hz 16-bit stereo (one folder per length).
  void StartWithSong(int seconds = 40) {
    StartWith(Sounds().Sine(std::to_string(seconds) + "s/song.wav", seconds));
  }

  QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dlg->Control(id)); }
  QSlider* Slider() const { return qobject_cast<QSlider*>(dlg->Control(1000)); }
  // Clicks a button as the user would: a disabled button does nothing.
  void Click(int id) { Button(id)->click(); }
  std::string Text(int id) const {
    QWidget* control = dlg->Control(id);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdString();
    return qobject_cast<QPushButton*>(control)->text().toStdString();
  }
  bool Enabled(int id) const { return dlg->Control(id)->isEnabled(); }
  uint32_t Bytes() { return dlg->Player().GetPosition(1); }
  void SeekBytes(uint32_t bytes) {
    ASSERT_EQ(dlg->Player().Seek(bytes, 1), 0);
    dlg->RefreshPosition(true, 0);
  }
  // Sets marker k at `bytes`.
  void MarkAt(int k, uint32_t bytes) {
    SeekBytes(bytes);
    Click(k == 1 ? 1024 : 1025);
    ASSERT_TRUE(dlg->MarkerSet(k));
  }
  // Lets the device play `bytes` in steps of a tenth of a second, with a
  // player timer tick after each step, as the 200 ms timer would.
  void PlayFor(uint32_t bytes) {
    while (bytes > 0) {
      const uint32_t step = std::min<uint32_t>(bytes, kBytesPerSecond / 10);
      device.MovePlayCursor(step);
      dlg->OnTimer(1);
      bytes -= step;
    }
  }

  TempDir configHome;
  ScriptedUi ui;
  TestSoundDevice device;
  std::unique_ptr<CMainDlg> dlg;
};

}  // namespace snipora::test
