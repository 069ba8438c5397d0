#include "playback/dialogs/speed_dialog.h"

#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/ui/qt_ui_text.h"
#include "playback/main_player.h"

namespace snipora {

CSpeedDlg::CSpeedDlg(CMainPlayer& player, QWidget* parent)
    : QDialog(parent),
      player_(player),
      speed_(this, 1007, 1035, 5, 1000, 10, 1, [this] { ApplySpeed(); }) {
  setWindowTitle(UiText(QT_TRANSLATE_NOOP("Snipora", "再生速度")));
  QFont dialogFont = font();
  dialogFont.setPointSize(9);
  setFont(dialogFont);

  speed_.SetUnits(PercentUnits());
  speed_.SetToolTip(UiText(QT_TRANSLATE_NOOP(
      "Snipora", "再生速度 (%)。100% が元の速さで、速さと一緒に音の高さも変わります")));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(speed_.TrackbarRow());
  layout->addLayout(speed_.ButtonRow(kPercentStepButtons));
  layout->addWidget(NewCloseButtons(this));
  speed_.SetNumber(100);
}

void CSpeedDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  speed_.SetNumber(player_.GetSpeedPercent());
  speed_.SetPosition(player_.GetSpeedPercent());
}

void CSpeedDlg::ApplySpeed() {
  player_.SetSpeedPercent(speed_.Position());
  speed_.SetNumber(player_.GetSpeedPercent());
}

}  // namespace snipora
