#include "app/model/edit_history.h"

#include <algorithm>

namespace snipora {

void CEditHistory::Reset() {
  steps_.clear();
  done_ = 0;
  // A new id: no state of the rows before counts as this one.
  rowsState_ = savedRows_ = ++nextState_;
}

void CEditHistory::Record(EditStep step) {
  if (step.changes.empty()) return;
  steps_.resize(done_);
  step.rowsBefore = rowsState_;
  const bool rows = std::any_of(step.changes.begin(), step.changes.end(), ChangesRows);
  step.rowsAfter = rows ? ++nextState_ : rowsState_;
  rowsState_ = step.rowsAfter;
  steps_.push_back(std::move(step));
  done_ = steps_.size();
}

const EditStep* CEditHistory::Undo() {
  if (done_ == 0) return nullptr;
  const EditStep& step = steps_[--done_];
  rowsState_ = step.rowsBefore;
  return &step;
}

const EditStep* CEditHistory::Redo() {
  if (done_ == steps_.size()) return nullptr;
  const EditStep& step = steps_[done_++];
  rowsState_ = step.rowsAfter;
  return &step;
}

const char* CEditHistory::UndoName() const {
  return done_ > 0 ? steps_[done_ - 1].name : nullptr;
}

const char* CEditHistory::RedoName() const {
  return done_ < steps_.size() ? steps_[done_].name : nullptr;
}

}  // namespace snipora
