#include "loopsearch/dialogs/loop_search_dlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "loopsearch/dialogs/loop_choice_lists.h"
#include "loopsearch/dialogs/loop_progress_dlg.h"
#include "loopsearch/dialogs/loop_search_tooltips.h"
#include "platform/ui/qt_ui_text.h"

namespace snipora {

namespace {

struct RadioSpec {
  int id;
  const char* text;
  int option;
};

// Radio buttons in group order; the button group's ids are the option indices.
constexpr RadioSpec kSourceRadios[] = {
    {1035, QT_TRANSLATE_NOOP("Snipora", "マーカ1"), 0},
    {1036, QT_TRANSLATE_NOOP("Snipora", "マーカ2"), 1},
    {1037, QT_TRANSLATE_NOOP("Snipora", "現在位置"), 2},
};
constexpr RadioSpec kCompareRadios[] = {
    {1041, QT_TRANSLATE_NOOP("Snipora", "元開始点"), 0},
    {1038, QT_TRANSLATE_NOOP("Snipora", "マーカ1"), 1},
    {1039, QT_TRANSLATE_NOOP("Snipora", "マーカ2"), 2},
    {1040, QT_TRANSLATE_NOOP("Snipora", "現在位置"), 3},
};

QString IdName(int id) {
  return QString::number(id);
}

template <size_t N>
QGroupBox* MakeRadioGroup(QWidget* parent, const char* title, const RadioSpec (&radios)[N],
                          QButtonGroup* group) {
  auto* box = new QGroupBox(UiText(title), parent);
  auto* layout = new QVBoxLayout(box);
  for (const RadioSpec& spec : radios) {
    auto* radio = new QRadioButton(UiText(spec.text), box);
    radio->setObjectName(IdName(spec.id));
    group->addButton(radio, spec.option);
    layout->addWidget(radio);
  }
  return box;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text) {
  auto* button = new QPushButton(UiText(text), parent);
  button->setObjectName(IdName(id));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CLoopSearchDlg::CLoopSearchDlg(ILoopSearchHost& host, QWidget* parent)
    : QDialog(parent), host_(host) {
  setWindowTitle(tr("ループ検出"));
  BuildControls();
  AddLoopSearchTooltips(*this);
  ApplyMarkerState();
}

void CLoopSearchDlg::BuildControls() {
  sourceGroup_ = new QButtonGroup(this);
  compareGroup_ = new QButtonGroup(this);
  QGroupBox* sourceBox = MakeRadioGroup(this, QT_TRANSLATE_NOOP("Snipora", "比較元開始点"),
                                        kSourceRadios, sourceGroup_);
  QGroupBox* compareBox = MakeRadioGroup(this, QT_TRANSLATE_NOOP("Snipora", "比較開始点"),
                                         kCompareRadios, compareGroup_);

  lengthList_ = MakeLoopChoiceList(this, 1044, kLoopLengthChoices, kDefaultLoopLength);
  precisionList_ = MakeLoopChoiceList(this, 1045, kLoopPrecisionChoices, kDefaultLoopPrecision);
  distanceField_ = new QLineEdit(this);
  distanceField_->setObjectName(IdName(1042));
  distanceField_->setAlignment(Qt::AlignRight);

  auto* choices = new QGridLayout;
  choices->addWidget(new QLabel(tr("マッチさせる長さ"), this), 0, 0);
  choices->addWidget(lengthList_, 0, 1, 1, 2);
  choices->addWidget(new QLabel(tr("精度"), this), 1, 0);
  choices->addWidget(precisionList_, 1, 1, 1, 2);
  choices->addWidget(new QLabel(tr("比較距離"), this), 2, 0);
  choices->addWidget(distanceField_, 2, 1);
  choices->addWidget(new QLabel(tr("秒"), this), 2, 2);

  QPushButton* start = MakeButton(this, 1, QT_TRANSLATE_NOOP("Snipora", "検出開始"));
  start->setDefault(true);
  QPushButton* decide = MakeButton(this, 1001, QT_TRANSLATE_NOOP("Snipora", "決定(&E)"));
  decide->setEnabled(false);
  QPushButton* cancel = MakeButton(this, 2, QT_TRANSLATE_NOOP("Snipora", "ｷｬﾝｾﾙ"));
  connect(start, &QPushButton::clicked, this, &CLoopSearchDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CLoopSearchDlg::reject);

  resultList_ = new QListWidget(this);
  resultList_->setObjectName(IdName(1046));

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(start);
  buttons->addWidget(decide);
  buttons->addWidget(cancel);
  buttons->addStretch();

  auto* settings = new QVBoxLayout;
  auto* groups = new QHBoxLayout;
  groups->addWidget(sourceBox);
  groups->addWidget(compareBox);
  settings->addLayout(groups);
  settings->addLayout(choices);

  auto* top = new QHBoxLayout;
  top->addLayout(settings, 1);
  top->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(new QLabel(tr("検出結果"), this));
  layout->addWidget(resultList_, 1);
}

void CLoopSearchDlg::ApplyMarkerState() {
  const bool marker1 = host_.IsMarker1Set();
  const bool marker2 = host_.IsMarker2Set();
  sourceGroup_->button(int(LoopSourceOption::Marker1))->setEnabled(marker1);
  sourceGroup_->button(int(LoopSourceOption::Marker2))->setEnabled(marker2);
  compareGroup_->button(int(LoopCompareOption::Marker1))->setEnabled(marker1);
  compareGroup_->button(int(LoopCompareOption::Marker2))->setEnabled(marker2);

  LoopSourceOption source = LoopSourceOption::CurrentPosition;
  if (marker1) {
    source = LoopSourceOption::Marker1;
  } else if (marker2) {
    source = LoopSourceOption::Marker2;
  }
  sourceGroup_->button(int(source))->setChecked(true);
  compareGroup_->button(int(LoopCompareOption::SourceStart))->setChecked(true);
}

LoopSearchSettings CLoopSearchDlg::Settings() const {
  LoopSearchSettings settings;
  settings.source = static_cast<LoopSourceOption>(sourceGroup_->checkedId());
  settings.compare = static_cast<LoopCompareOption>(compareGroup_->checkedId());
  settings.lengthIndex = lengthList_->currentIndex();
  settings.precisionIndex = precisionList_->currentIndex();
  settings.distanceText = distanceField_->text().toStdString();
  return settings;
}

void CLoopSearchDlg::ClearResults() {
  resultList_->clear();
}

void CLoopSearchDlg::AddResult(const std::string& text) {
  resultList_->addItem(QString::fromStdString(text));
}

void CLoopSearchDlg::accept() {
  CLoopProgressDlg progress(MakeLoopSearchInput(host_, Settings()), *this, host_.Ui(), this);
  progress.exec();
}

}  // namespace snipora
