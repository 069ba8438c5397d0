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
      format_(new QLabel),
      openFolder_(
          [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  format_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  format_->setObjectName(QStringLiteral("format"));
  format_->setToolTip(
      tr("開いているファイルの形式: サンプリング周波数、ビット数、チャンネル数、"
         "長さ、ファイルの種類"));
  link_->setToolTip(tr("保存先のフォルダをファイルマネージャで開きます"));
  layout->addWidget(text_, 1);
  layout->addWidget(link_);
  layout->addSpacing(12);
  layout->addWidget(format_);
  link_->hide();
  connect(link_, &QLabel::linkActivated, this, [this] { OpenSavedFolder(); });
}

void CStatusLine::ShowWithFolder(const QString& text, const std::vector<std::string>& paths) {
  folder_ = QFileInfo(QFile::decodeName(paths.front().c_str())).absolutePath();
  text_->setText(text.arg(folder_));
  link_->show();
}

void CStatusLine::ShowSaved(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  ShowWithFolder(
      tr("%n 個のファイルを保存しました (保存先: %1)", nullptr, static_cast<int>(paths.size())),
      paths);
}

void CStatusLine::ShowStopped(bool cancelled, const std::vector<std::string>& kept) {
  const QString what = cancelled ? tr("保存を取り消しました。") : tr("保存できませんでした。");
  if (kept.empty()) {
    ShowNote(what + tr("ファイルは書き込んでいません。"));
    return;
  }
  ShowWithFolder(what + tr("書き終えた %n 個のファイルは残してあります (保存先: %1)", nullptr,
                           static_cast<int>(kept.size())),
                 kept);
}

void CStatusLine::ShowNote(const QString& text) {
  text_->setText(text);
  link_->hide();
}

void CStatusLine::ClearMessage() {
  ShowNote(QString());
}

void CStatusLine::ShowFormat(const QString& text) {
  format_->setText(text);
}

QString CStatusLine::Text() const {
  return text_->text();
}

QString CStatusLine::FormatText() const {
  return format_->text();
}

void CStatusLine::OpenSavedFolder() {
  if (!folder_.isEmpty()) openFolder_(folder_);
}

}  // namespace snipora
