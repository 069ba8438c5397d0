#pragma once

#include <QDialog>

#include <vector>

#include "loopsearch/loop_candidates.h"
#include "loopsearch/loop_candidates_host.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace snipora {

// Tools → "Loop detection" in the window: searches the span the window
// gives (between the markers, or from the position to the end) with the
// loop search's window length and precision, in the loop progress dialog,
// and lists the loops it finds best first (start, end, length, seam
// difference). Choosing one puts the markers on it; the loop can be heard
// across its seam, kept for Save, or saved as an extended listening copy.
class CLoopCandidatesDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CLoopCandidatesDlg(ILoopCandidatesHost& host, QWidget* parent = nullptr);

  const std::vector<LoopCandidate>& Candidates() const { return candidates_; }

 public slots:
  // "検出開始": searches the span; the dialog stays open with the results.
  void accept() override;

 private:
  void BuildControls();
  void ShowCandidates();
  static QString EmptySpanText();
  // The candidate of the highlighted row; null for none.
  const LoopCandidate* Chosen() const;
  void OnRowChosen();
  // The actions follow whether a row is chosen.
  void ApplyState();

  ILoopCandidatesHost& host_;
  LoopSearchSpan span_;
  std::vector<LoopCandidate> candidates_;
  QComboBox* lengthList_;
  QComboBox* precisionList_;
  QTableWidget* table_;
  QPushButton* listen_;
  QPushButton* keep_;
  QSpinBox* count_;
  QSpinBox* fade_;
  QPushButton* saveExtended_;
  QLabel* status_;
};

}  // namespace snipora
