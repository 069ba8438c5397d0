#pragma once

#include <cstdint>
#include <vector>

#include "app/model/edit_changes.h"

// The undo history of the main window's edits: steps of changes that were
// applied, with a name for Edit → Undo, and which state of the rows was
// saved last.
namespace snipora {

struct EditStep {
  const char* name = nullptr;  // marked for translation
  std::vector<EditChange> changes;
  uint32_t rowsBefore = 0;  // the rows' state ids around the step
  uint32_t rowsAfter = 0;
};

class CEditHistory {
 public:
  // Forgets every step; the rows as they are now count as saved.
  void Reset();
  // Records a step whose changes have been applied; the steps undone before
  // are dropped. A step without changes is not recorded.
  void Record(EditStep step);
  // The step to revert (its changes' inverses, last first), now undone;
  // null when there is none.
  const EditStep* Undo();
  // The step to apply again, now done; null when there is none.
  const EditStep* Redo();
  // The names of the steps Undo and Redo would take; null for none.
  const char* UndoName() const;
  const char* RedoName() const;

  // The rows as they are now count as saved; RowsSaved says whether they still are.
  void MarkRowsSaved() { savedRows_ = rowsState_; }
  bool RowsSaved() const { return rowsState_ == savedRows_; }

 private:
  std::vector<EditStep> steps_;
  size_t done_ = 0;  // steps_[0 .. done_) are applied
  uint32_t nextState_ = 0;
  uint32_t rowsState_ = 0;  // names the content of the rows: the same id, the same rows
  uint32_t savedRows_ = 0;
};

}  // namespace snipora
