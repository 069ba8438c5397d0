#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace snipora {

// The line at the bottom of the main window: what the last save wrote and
// where, with a link that opens that folder, or a note such as silent playback.
class CStatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit CStatusLine(QWidget* parent = nullptr);

  // "N files saved" with their folder (the first file's) and the link to it.
  void ShowSaved(const std::vector<std::string>& paths);
  void ShowNote(const QString& text);
  QString Text() const;

  // Opens a folder in the desktop's file manager; tests replace it.
  using FolderOpener = std::function<void(const QString& folder)>;
  void SetFolderOpener(FolderOpener opener) { openFolder_ = std::move(opener); }
  // What the link does: opens the last save's folder.
  void OpenSavedFolder();

 private:
  QLabel* text_;
  QLabel* link_;
  QString folder_;
  FolderOpener openFolder_;
};

}  // namespace snipora
