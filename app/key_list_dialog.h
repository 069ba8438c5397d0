#pragma once

#include <QDialog>
#include <QString>
#include <vector>

namespace snipora {

// One line of the key list: the key as it is pressed and what it does.
struct KeyListRow {
  QString keys;
  QString action;
};

// Help → keyboard shortcuts: a table of key and action, with a note above
// it, and a Close button.
class CKeyListDlg : public QDialog {
  Q_OBJECT

 public:
  CKeyListDlg(QWidget* parent, const QString& note, const std::vector<KeyListRow>& rows);
};

}  // namespace snipora
