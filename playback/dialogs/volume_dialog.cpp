#include "playback/dialogs/volume_dialog.h"

#include <QCheckBox>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/ui/qt_ui_text.h"
#include "playback/main_player.h"
#include "playback/player_flags.h"

namespace snipora {
namespace {

// DirectSound volume -10000..0 is shown as 0..10000.
constexpr int kDirectSoundOffset = 10000;
constexpr int kSoftwareMaximum = 1500;

constexpr StepButton kDirectSoundStepButtons[] = {
    {1001, "-300", -300, false}, {1002, "-30", -30, false}, {1003, "-1", -1, false},
    {1004, "+1", 1, false, 16},  {1005, "+30", 30, false},  {1006, "+300", 300, false},
};

struct OptionBox {
  int id;
  const char* text;
  uint32_t bit;
  const char* tip;
};

// In the order they stand in the dialog, top to bottom.
constexpr OptionBox kOptionBoxes[] = {
    {1041, QT_TRANSLATE_NOOP("Snipora", "ファイルを開いた時概算音量で最大化設定"),
     CDS_OPENVOLUMEMAXIMIZE,
     QT_TRANSLATE_NOOP("Snipora",
                       "ファイルを開くときに音量を見積もり、音が割れない範囲で最大にします")},
    {1043, QT_TRANSLATE_NOOP("Snipora", "音量自動調整"), CDS_AUTOVOLUME,
     QT_TRANSLATE_NOOP("Snipora", "再生中に音量を測り、音が割れないよう自動で下げます")},
    {1044, QT_TRANSLATE_NOOP("Snipora", "体感音量ベースで処理する"), CDS_VOLCTL_VER2,
     QT_TRANSLATE_NOOP("Snipora", "自動調整で、波形の最大値ではなく聞こえる大きさを測ります")},
    {1045, QT_TRANSLATE_NOOP("Snipora", "自動調整は再転送しない"), CDS_AUTOVOLDELAY,
     QT_TRANSLATE_NOOP(
         "Snipora", "自動調整の変化を、これから送る音にだけ効かせます (送った音は送り直しません)")},
    {1046, QT_TRANSLATE_NOOP("Snipora", "自動調整は常に最大音量を保つ"), CDS_AUTOVOLUPENABLE,
     QT_TRANSLATE_NOOP("Snipora", "自動調整で、音が小さくなったら音量を上げることも許します")},
    {1047, QT_TRANSLATE_NOOP("Snipora", "自動調整は余裕をもって処理する"), CDS_AUTOVOLDELAYRESERVE,
     QT_TRANSLATE_NOOP("Snipora", "自動調整で、最大の 80% を目指して余裕を残します")},
    {1048, QT_TRANSLATE_NOOP("Snipora", "自動調整は滑らかに適用する"), CDS_AUTOVOLSLOWLYAPPLY,
     QT_TRANSLATE_NOOP("Snipora", "自動調整の音量の変化を、一度にではなく少しずつ効かせます")},
};

// The device volume is in hundredths of a decibel, shown from 0 (-100 dB) to 10000 (0 dB).
TrackbarUnits DecibelUnits() {
  return {[](int value) {
            return QStringLiteral("(%1 dB)").arg((value - kDirectSoundOffset) / 100.0, 0, 'f', 2);
          },
          [](int delta) { return QString::number(delta / 100.0) + QStringLiteral(" dB"); }};
}

constexpr char kSixteenBitOnly[] =
    QT_TRANSLATE_NOOP("Snipora", "自動調整は16ビットのファイルにだけ働きます");

}  // namespace

CVolumeDlg::CVolumeDlg(CMainPlayer& player, QWidget* parent)
    : QDialog(parent),
      player_(player),
      directSound_(this, 1000, 1034, 0, kDirectSoundOffset, 300, 5,
                   [this] { ApplyDirectSoundVolume(); }),
      software_(this, 1007, 1035, 0, kSoftwareMaximum, 10, 1, [this] { ApplySoftwareVolume(); }) {
  setWindowTitle(UiText(QT_TRANSLATE_NOOP("Snipora", "音量")));
  QFont dialogFont = font();
  dialogFont.setPointSize(9);
  setFont(dialogFont);

  directSound_.SetUnits(DecibelUnits());
  directSound_.SetToolTip(UiText(QT_TRANSLATE_NOOP(
      "Snipora", "出力装置の音量。10000 が最大 (0 dB) で、100 下げるごとに 1 dB 小さくなります")));
  software_.SetUnits(PercentUnits());
  software_.SetToolTip(UiText(QT_TRANSLATE_NOOP(
      "Snipora", "音に掛ける音量 (%)。100% がそのまま、それより上は大きくなります")));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(UiText(QT_TRANSLATE_NOOP("Snipora", "DirectSoundボリュームコントロール")), this));
  layout->addLayout(directSound_.TrackbarRow());
  layout->addLayout(directSound_.ButtonRow(kDirectSoundStepButtons));
  layout->addWidget(new QLabel(
      UiText(QT_TRANSLATE_NOOP("Snipora", "ソフトウェア ボリュームコントロール")), this));
  layout->addLayout(software_.TrackbarRow());
  layout->addLayout(software_.ButtonRow(kPercentStepButtons));
  for (const OptionBox& option : kOptionBoxes) {
    auto* box = new QCheckBox(UiText(option.text), this);
    box->setObjectName(ControlName(option.id));
    // clicked, unlike toggled, comes only from the user, never from LoadFromPlayer.
    connect(box, &QCheckBox::clicked, this,
            [this, bit = option.bit](bool checked) { ApplyOption(bit, checked); });
    layout->addWidget(box);
  }
  layout->addWidget(NewCloseButtons(this));
  directSound_.SetNumber(kDirectSoundOffset);
  software_.SetNumber(100);
}

void CVolumeDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored by the window system, not opened
  LoadFromPlayer();
  open_ = true;
}

void CVolumeDlg::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) open_ = false;
}

void CVolumeDlg::LoadFromPlayer() {
  int directSound = player_.GetDirectSoundVolume() + kDirectSoundOffset;
  directSound_.SetPosition(directSound);
  directSound_.SetNumber(directSound);
  // On opening the number shows the clamped value too; the timer refresh shows the true one.
  int software = std::min<int>(player_.GetSoftwareVolume(), kSoftwareMaximum);
  software_.SetPosition(software);
  software_.SetNumber(software);
  uint32_t options = player_.GetOptions();
  // The options stay settable for the next file, but the boxes say that they do
  // nothing for the open one.
  const bool applies = player_.AutoVolumeApplies();
  for (const OptionBox& option : kOptionBoxes) {
    auto* box = findChild<QCheckBox*>(ControlName(option.id));
    box->setChecked((options & option.bit) != 0);
    box->setEnabled(applies);
    box->setToolTip(UiText(option.tip) +
                    (applies ? QString() : QStringLiteral("\n") + UiText(kSixteenBitOnly)));
  }
}

void CVolumeDlg::ShowSoftwareVolume(int16_t volume) {
  software_.SetPosition(volume);
  software_.SetNumber(volume);
}

void CVolumeDlg::ApplyDirectSoundVolume() {
  player_.SetDirectSoundVolume(directSound_.Position() - kDirectSoundOffset);
  // Read back, so a refused value shows the one still in effect.
  directSound_.SetNumber(player_.GetDirectSoundVolume() + kDirectSoundOffset);
}

void CVolumeDlg::ApplySoftwareVolume() {
  player_.SetSoftwareVolume(static_cast<int16_t>(software_.Position()));
  software_.SetNumber(player_.GetSoftwareVolume());
}

void CVolumeDlg::ApplyOption(uint32_t bit, bool checked) {
  // The opening estimate and the automatic control are options proper; the other
  // five are changed as single flags. Either way only this bit changes.
  if (bit == CDS_OPENVOLUMEMAXIMIZE || bit == CDS_AUTOVOLUME) {
    uint32_t options = player_.GetOptions();
    player_.SetOptions(checked ? options | bit : options & ~bit);
  } else {
    player_.SetFlags(bit, checked);
  }
}

}  // namespace snipora
