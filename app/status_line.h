#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace snipora {

// The line at the bottom of the main window: at the left what the last save
// did (with a link that opens the folder it wrote to) or a note such as
// silent playback; at the right the open file's format.
class CStatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit CStatusLine(QWidget* parent = nullptr);

  // "N files saved" with their folder (the first file's) and the link to it.
  void ShowSaved(const std::vector<std::string>& paths);
  // A save that was cancelled or failed, and the finished files it kept.
  void ShowStopped(bool cancelled, const std::vector<std::string>& kept);
  void ShowNote(const QString& text);
  // Removes the message (not the format).
  void ClearMessage();
  // The open file's format, e.g. "48 kHz · 24-bit · 6 ch · 0:03:12.500 · RF64".
  void ShowFormat(const QString& text);
  QString Text() const;
  QString FormatText() const;

  // Opens a folder in the desktop's file manager; tests replace it.
  using FolderOpener = std::function<void(const QString& folder)>;
  void SetFolderOpener(FolderOpener opener) { openFolder_ = std::move(opener); }
  // What the link does: opens the last save's folder.
  void OpenSavedFolder();

 private:
  // Shows `text` with the link to the folder of `paths`' first file.
  void ShowWithFolder(const QString& text, const std::vector<std::string>& paths);

  QLabel* text_;
  QLabel* link_;
  QLabel* format_;
  QString folder_;
  FolderOpener openFolder_;
};

}  // namespace snipora
