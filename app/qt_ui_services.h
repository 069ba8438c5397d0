#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/ui/ui_services.h"

class QWidget;

namespace snipora {

// Converts a file filter of the form "label|patterns|label|patterns||"
// (patterns separated by ';') into Qt's form "label (p1 p2);;label (p)". A
// label that ends in its own pattern list, "WAVE(*.wav)", shows the real one.
QString ConvertFileFilter(const std::string& filter);

// Message boxes with the string table's texts and the standard file dialogs,
// shown over a parent window that may change while the program runs (the
// main window, a progress dialog).
class CQtUiServices : public IUiServices {
 public:
  explicit CQtUiServices(QWidget* parent = nullptr) : parent_(parent) {}

  void SetParent(QWidget* parent) { parent_ = parent; }

  MessageAnswer ShowMessage(int stringId, MessageButtons buttons) override;
  MessageAnswer ShowText(const std::string& text, MessageButtons buttons) override;
  size_t AskChoice(const std::string& question, const std::vector<std::string>& choices) override;
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
  std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> AskFolder(const std::string& initialFolder) override;
  std::string Translated(const char* text) const override;

 private:
  QWidget* parent_;
};

}  // namespace snipora
