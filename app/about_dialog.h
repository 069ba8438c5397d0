#pragma once

#include <QDialog>

namespace snipora {

// Dialog 100: the program's icon, name and version, and an OK button.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent);
};

}  // namespace snipora
