#pragma once

#include <QDialog>

#include <cstdint>

#include "playback/dialogs/step_trackbar.h"

namespace snipora {

class CMainPlayer;

// The volume dialog (template 130, "音量"): DirectSound volume, software volume
// and the seven automatic-volume options, each change applied to the player at
// once. The main window keeps one for the program's life and runs it modally;
// every showing reads the player's values afresh.
class CVolumeDlg : public QDialog {
 public:
  explicit CVolumeDlg(CMainPlayer& player, QWidget* parent = nullptr);

  // True from the end of the dialog's initialisation until it closes; the main
  // window's player timer asks this before ShowSoftwareVolume.
  bool IsOpen() const { return open_; }
  // Shows the software volume (the automatic control changes it while playing)
  // in trackbar 1007, clamped by its range, and as the true signed value in 1035.
  void ShowSoftwareVolume(int16_t volume);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void LoadFromPlayer();
  void ApplyDirectSoundVolume();
  void ApplySoftwareVolume();
  void ApplyOption(uint32_t bit, bool checked);

  CMainPlayer& player_;
  StepTrackbar directSound_;
  StepTrackbar software_;
  bool open_ = false;
};

}  // namespace snipora
