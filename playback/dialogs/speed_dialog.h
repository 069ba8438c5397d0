#pragma once

#include <QDialog>

#include "playback/dialogs/step_trackbar.h"

namespace snipora {

class CMainPlayer;

// The playback-speed dialog (template 133, "再生速度"): trackbar 1007 from 5 to
// 1000 percent with its number 1035 and the step buttons; each change is
// applied to the player at once. Created for each use and run modally.
class CSpeedDlg : public QDialog {
 public:
  explicit CSpeedDlg(CMainPlayer& player, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplySpeed();

  CMainPlayer& player_;
  StepTrackbar speed_;
};

}  // namespace snipora
