#pragma once

#include <QString>
#include <string>

#include "platform/ui/ui_services.h"

class QWidget;

namespace snipora {

// Converts a file filter of the form "label|patterns|label|patterns||"
// (patterns separated by ';') into Qt's form "label (p1 p2);;label (p)".
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
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
  std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;

 private:
  QWidget* parent_;
};

}  // namespace snipora
