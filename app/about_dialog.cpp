#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/qt_ui_text.h"
#include "resources/dialog_templates.h"

namespace snipora {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(UiText(about_text::kCaption));

  auto* icon = new QLabel;
  icon->setPixmap(QIcon(QString::fromUtf8(kIconResource)).pixmap(32, 32));
  auto* texts = new QVBoxLayout;
  texts->addWidget(new QLabel(QString::fromUtf8(about_text::kVersion)));
  texts->addWidget(new QLabel(UiText(about_text::kSecondLine)));
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(texts, 1);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok =
      buttons->addButton(QString::fromUtf8(about_text::kOk), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  ok->setToolTip(tr("閉じます"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}

}  // namespace snipora
