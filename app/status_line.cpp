#include "app/status_line.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

namespace snipora {

CStatusLine::CStatusLine(QWidget* parent)
    : QWidget(parent),
      text_(new QLabel),
      link_(new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(tr("フォルダを開く")))),
      openFolder_(
          [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(text_, 1);
  layout->addWidget(link_);
  link_->hide();
  connect(link_, &QLabel::linkActivated, this, [this] { OpenSavedFolder(); });
}

void CStatusLine::ShowSaved(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  folder_ = QFileInfo(QFile::decodeName(paths.front().c_str())).absolutePath();
  text_->setText(
      tr("%n 個のファイルを保存しました (保存先: %1)", nullptr, static_cast<int>(paths.size()))
          .arg(folder_));
  link_->show();
}

void CStatusLine::ShowNote(const QString& text) {
  text_->setText(text);
  link_->hide();
}

QString CStatusLine::Text() const {
  return text_->text();
}

void CStatusLine::OpenSavedFolder() {
  if (!folder_.isEmpty()) openFolder_(folder_);
}

}  // namespace snipora
