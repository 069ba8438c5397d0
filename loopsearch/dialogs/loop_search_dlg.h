#pragma once

#include <QDialog>

#include "loopsearch/loop_search.h"
#include "loopsearch/loop_search_host.h"
#include "loopsearch/loop_search_options.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace snipora {

// The loop detection dialog: chooses the window and where to compare, starts
// searches ("検出開始") and lists their results while it stays open. Every
// showing starts from the defaults derived from the main window's markers.
class CLoopSearchDlg : public QDialog, public ILoopSearchResults {
  Q_OBJECT

 public:
  explicit CLoopSearchDlg(ILoopSearchHost& host, QWidget* parent = nullptr);

  // The choices as they stand in the controls.
  LoopSearchSettings Settings() const;

  void ClearResults() override;
  void AddResult(const std::string& text) override;

 public slots:
  // "検出開始": runs a search in the progress dialog; this dialog stays open.
  void accept() override;

 private:
  void BuildControls();
  // Enables and checks the radio buttons for the markers that are set.
  void ApplyMarkerState();

  ILoopSearchHost& host_;
  QButtonGroup* sourceGroup_;
  QButtonGroup* compareGroup_;
  QComboBox* lengthList_;
  QComboBox* precisionList_;
  QLineEdit* distanceField_;
  QListWidget* resultList_;
};

}  // namespace snipora
