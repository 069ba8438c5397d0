#pragma once

#include <QDialog>

#include <functional>

#include "loopsearch/loop_search.h"

class QLabel;
class QProgressBar;

namespace snipora {

// The small modal dialog that runs one loop search once it is shown, keeps
// itself responsive between blocks and closes when the search ends.
// "中止" (or Esc, or closing the window) only asks the search to stop.
class CLoopProgressDlg : public QDialog, public ILoopSearchProgress {
  Q_OBJECT

 public:
  // Runs one search with its results and messages going where they are asked.
  CLoopProgressDlg(LoopSearchInput input, ILoopSearchResults& results, IUiServices& ui,
                   QWidget* parent = nullptr);
  // Runs `search` (which runs the loop search with this progress) once shown.
  using Search = std::function<LoopSearchEnd(ILoopSearchProgress&)>;
  explicit CLoopProgressDlg(Search search, QWidget* parent = nullptr);

  // How the search ended (meaningful once the dialog has closed).
  LoopSearchEnd Outcome() const { return outcome_; }

  void SetRange(uint32_t total) override;
  void SetPosition(uint32_t position) override;
  void SetText(const std::string& text) override;
  void Pump() override;
  bool IsCancelled() const override { return cancelled_; }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void RunSearch();

  Search search_;
  QProgressBar* progressBar_;
  QLabel* progressText_;
  bool startPosted_ = false;
  bool cancelled_ = false;
  LoopSearchEnd outcome_ = LoopSearchEnd::Completed;
};

}  // namespace snipora
