#include "app/jump_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "audiofile/sound_units.h"
#include "foundation/number_text.h"
#include "platform/ui/qt_ui_text.h"
#include "resources/control_ids.h"
#include "resources/dialog_templates.h"
#include "resources/string_table.h"

namespace snipora {

std::optional<uint64_t> JumpTargetBytes(std::string_view text, bool inMilliseconds,
                                        const JumpLimits& limits) {
  // Milliseconds also as the window shows times, "h:mm:ss.mmm" or "m:ss.mmm".
  const std::optional<uint64_t> value =
      inMilliseconds ? ReadMillisecondsText(text) : ReadUnsigned64Value(text);
  if (!value) return std::nullopt;
  // A time goes to the frame at or before it. In 128 bits: no typed number
  // wraps around to a position inside the data.
  const uint64_t frames = inMilliseconds ? MillisecondsToFrames(*value, limits.sampleRate) : *value;
  const unsigned __int128 bytes = static_cast<unsigned __int128>(frames) * limits.blockAlign;
  if (bytes > limits.dataSize) return std::nullopt;
  return static_cast<uint64_t>(bytes);
}

namespace {

QString TemplateText(int id) {
  return UiText(FindControlTemplate(JumpDialogControls(), id)->text);
}

}  // namespace

CJumpDlg::CJumpDlg(QWidget* parent, IUiServices& ui, JumpLimits limits)
    : QDialog(parent), ui_(ui), limits_(std::move(limits)) {
  setWindowTitle(UiText(jump_text::kCaption));

  auto* method = new QGroupBox(UiText(jump_text::kMethodGroup));
  milliseconds_ = new QRadioButton(TemplateText(kJumpInMilliseconds));
  milliseconds_->setObjectName(QString::number(kJumpInMilliseconds));
  auto* samples = new QRadioButton(TemplateText(kJumpInSamples));
  samples->setObjectName(QString::number(kJumpInSamples));
  milliseconds_->setChecked(true);
  auto* methodLayout = new QVBoxLayout(method);
  methodLayout->addWidget(milliseconds_);
  methodLayout->addWidget(samples);

  milliseconds_->setToolTip(
      tr("数をミリ秒として読みます。1:23.500 や 0:01:23.500 のような時刻も使えます"));
  samples->setToolTip(tr("数をサンプル (フレーム) の番号として読みます"));

  edit_ = new QLineEdit;
  edit_->setObjectName(QString::number(kJumpValue));
  // An example in the unit chosen.
  const auto showExample = [this](bool inMilliseconds) {
    edit_->setPlaceholderText(inMilliseconds ? tr("例: 83500 または 1:23.500") : tr("例: 3681350"));
  };
  connect(milliseconds_, &QRadioButton::toggled, this, showExample);
  showExample(true);
  edit_->setToolTip(tr("移動先の位置。数だけを入れてください (途中に文字があると受け付けません)"));

  auto* maximumLabel = new QLabel(UiText(jump_text::kMaximumLabel));
  auto* maximum = new QLabel(QString::fromUtf8(limits_.lengthText));
  maximum->setObjectName(QString::number(kJumpMaximum));
  maximum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  maximum->setToolTip(tr("ファイルの長さ: 上がミリ秒、下がサンプル。これより先へは移動できません"));
  auto* maximumRow = new QHBoxLayout;
  maximumRow->addWidget(maximumLabel);
  maximumRow->addWidget(maximum, 1);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(TemplateText(1), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  ok->setToolTip(tr("入力した位置へ移動します"));
  QPushButton* cancel = buttons->addButton(TemplateText(2), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("2"));
  cancel->setToolTip(tr("移動せずに閉じます"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CJumpDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CJumpDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(method);
  layout->addWidget(edit_);
  layout->addLayout(maximumRow);
  layout->addWidget(buttons);
  edit_->setFocus();
}

QWidget* CJumpDlg::Control(int id) const {
  return findChild<QWidget*>(QString::number(id));
}

void CJumpDlg::accept() {
  const std::optional<uint64_t> bytes =
      JumpTargetBytes(edit_->text().toStdString(), milliseconds_->isChecked(), limits_);
  if (!bytes) {
    ui_.ShowMessage(kStrInvalidValue, MessageButtons::Ok);
    return;
  }
  result_ = *bytes;
  QDialog::accept();
}

}  // namespace snipora
