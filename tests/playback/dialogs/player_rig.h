#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/sound/test_sound_device.h"
#include "platform/sound/timer_host.h"
#include "playback/main_player.h"
#include "tests/support/qt_application.h"
#include "tests/support/test_support.h"

// What the dialog tests share: one QApplication, a real player over the test
// sound device, short PCM WAVE files made by sox, and finding controls by numeric id.
namespace snipora::test {

class DialogPlayerRig {
 public:
  DialogPlayerRig() {
    EnsureApplication();
    EXPECT_EQ(player.Attach(&timers, 1, 1), 0);
    player.SetOptions(CDS_NOTIFY_STOP);
  }

  // Opens a one-second stereo file of the given sample size.
  void OpenFile(uint16_t bits) {
    std::string path = dir.File(std::to_string(bits) + "-bit.wav");
    CommandResult sox = RunCommand("sox -n -r 44100 -c 2 -b " + std::to_string(bits) + " " +
                                   ShellQuote(path) + " synth 1 sine 440");
    ASSERT_EQ(sox.exitCode, 0) << sox.output;
    ASSERT_EQ(player.Open(path.c_str()), 0);
  }

  TempDir dir;
  TestSoundDevice device;
  ManualTimerHost timers;
  CMainPlayer player{device};
};

template <class Control>
Control& Find(QWidget& dialog, int id) {
  auto* control = dialog.findChild<Control*>(QString::number(id));
  if (control == nullptr) throw std::runtime_error("no control " + std::to_string(id));
  return *control;
}

inline int SliderAt(QWidget& dialog, int id) {
  return Find<QSlider>(dialog, id).value();
}
inline std::string NumberAt(QWidget& dialog, int id) {
  return Find<QLabel>(dialog, id).text().toStdString();
}
inline void Click(QWidget& dialog, int id) {
  Find<QAbstractButton>(dialog, id).click();
}

}  // namespace snipora::test
