// Opening another file, from File → Open (starting beside the open file or
// where the last one was), a recent file or a file dropped on the window:
// the new file is checked before the open one is closed, and one that cannot
// be opened is named with the reason while the open file stays as it was.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

#include "app/main_dialog.h"
#include "app/model/dialog_folders.h"
#include "app/recent_files.h"
#include "audiofile/flac_file.h"
#include "audiofile/wave_reader.h"
#include "platform/ui/qt_ui_text.h"
#include "playback/player_flags.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"
#include "resources/string_table.h"

namespace snipora {

namespace {

// Why a file that is no RIFF WAVE file was refused: what is wrong with it as
// FLAC, or that it is none of the formats that open.
QString NotWaveReason(const std::string& path) {
  SoundFormatInfo format{};
  switch (ReadFlacFile(path, format)) {
    case FlacProblem::kDamaged:
      return CMainDlg::tr("FLAC ファイルのヘッダが壊れています。");
    case FlacProblem::kNoLength:
      return CMainDlg::tr(
          "FLAC ファイルに長さが書かれていません (パイプへ書き出されたファイルです)。"
          "flac で書き直すと開けます。");
    case FlacProblem::kCutShort:
      return CMainDlg::tr("FLAC ファイルが途中で切れているか、終わりの部分が壊れています。");
    default:
      return CMainDlg::tr("RIFF WAVE、NWA、FLAC のどの形式のファイルでもありません。");
  }
}

// Why a file that ReadFormat refused cannot be opened.
QString RefusalReason(const std::string& path) {
  SoundFormatInfo format{};
  switch (ProbeWaveFile(path.c_str(), format)) {
    case 1:
      return CMainDlg::tr(
          "ファイルを読み込めません (存在しないか、読み取りが許可されていません)。");
    case 2:
      return NotWaveReason(path);
    case 3: {
      char tag[8];
      std::snprintf(tag, sizeof tag, "0x%04X", format.formatBlock.formatTag);
      return CMainDlg::tr("圧縮された形式 (%1、形式番号 %2) のため、再生にはデコーダが必要です。")
          .arg(UiText(WaveTypeName(format.formatBlock.formatTag)), QString::fromLatin1(tag));
    }
    default:
      return CMainDlg::tr("WAVE ファイルのヘッダが壊れているか、途中で切れています。");
  }
}

QString CannotOpenText(const std::string& path, const QString& reason) {
  return CMainDlg::tr(
             "次のファイルを開けません:\n%1\n\n%2\n\n開いているファイルはそのまま使えます。")
      .arg(QFile::decodeName(path.c_str()), reason);
}

// The first local file among the dragged URLs, "" for none.
std::string DraggedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile().toStdString();
  }
  return {};
}

}  // namespace

void CMainDlg::OnMenuOpen() {
  if (!ConfirmDiscardUnsaved()) return;
  const std::optional<std::string> path = ui_.AskOpenFile({main_text::kOpenFilter, DialogFolder()});
  if (path) OpenAnotherFile(*path);
}

std::string CMainDlg::DialogFolder() const {
  const auto folder = [](QStandardPaths::StandardLocation location) {
    return QFile::encodeName(QStandardPaths::writableLocation(location)).toStdString();
  };
  return DialogStartFolder(model_.FullPath(), recentFiles_,
                           {folder(QStandardPaths::MusicLocation), QDir::homePath().toStdString()});
}

bool CMainDlg::ConfirmDiscardUnsaved() {
  return !model_.HasUnsavedReservations() ||
         ui_.ShowMessage(kStrDiscardUnsaved, MessageButtons::YesNo) == MessageAnswer::Yes;
}

void CMainDlg::OpenAnotherFile(const std::string& path) {
  if (RefusedForChannels(path)) return;
  SoundFormatInfo format;
  if (!ReadFormat(path, format)) {
    ui_.ShowText(CannotOpenText(path, RefusalReason(path)).toStdString(), MessageButtons::Ok);
    return;
  }
  const std::string previousPath = model_.FullPath();
  const uint64_t previousPosition = PlayerBytes();
  player_.Close();
  if (!OpenAudioFile(path)) {
    ui_.ShowText(CannotOpenText(path, tr("ファイルを再生用に開けませんでした。")).toStdString(),
                 MessageButtons::Ok);
    ReopenAfterFailedOpen(previousPath, previousPosition);
  }
}

// A failed open leaves the model as it was: give the player the previous
// file back, at its position, so that the player and the displays agree.
void CMainDlg::ReopenAfterFailedOpen(const std::string& path, uint64_t position) {
  if (player_.Open(path.c_str()) != 0) return;
  player_.Seek(position, kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void CMainDlg::dropEvent(QDropEvent* event) {
  if (OpenDropped(*event->mimeData())) event->acceptProposedAction();
}

bool CMainDlg::OpenDropped(const QMimeData& mime) {
  const std::string path = DraggedFile(&mime);
  if (path.empty()) return false;
  // Opened after the drop has ended, so that no question is asked inside it.
  QMetaObject::invokeMethod(
      this,
      [this, path] {
        if (ConfirmDiscardUnsaved()) OpenAnotherFile(path);
      },
      Qt::QueuedConnection);
  return true;
}

// ---------------------------------------------------------------- recent files

void CMainDlg::AddRecentFilesMenu() {
  recentFiles_ = LoadRecentFiles();
  auto* file = qobject_cast<QMenu*>(MenuAction(kCmdOpen)->parent());
  recentMenu_ = file->addMenu(tr("最近使ったファイル(&R)"));
  recentMenu_->setObjectName(QStringLiteral("recent"));
  ShowRecentFiles();
}

void CMainDlg::RememberRecentFile(const std::string& path) {
  recentFiles_ = WithRecentFile(std::move(recentFiles_), path);
  SaveRecentFiles(recentFiles_);
  ShowRecentFiles();
}

void CMainDlg::ShowRecentFiles() {
  recentMenu_->clear();
  recentMenu_->setEnabled(!recentFiles_.empty());
  for (size_t i = 0; i < recentFiles_.size(); ++i) {
    const std::string path = recentFiles_[i];
    // "&1" ... "&9", "1&0": the number is the entry's access key.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    QAction* action =
        recentMenu_->addAction(number + QLatin1Char(' ') + QFile::decodeName(path.c_str()));
    connect(action, &QAction::triggered, this, [this, path] {
      if (ConfirmDiscardUnsaved()) OpenAnotherFile(path);
    });
  }
}

}  // namespace snipora
