// The split reservations list of the main dialog: the row acted on is always
// the row the list highlights.
#include "app/main_dialog.h"
#include "app/reservation_list.h"

namespace snipora {

void CMainDlg::AddReservation() {
  model_.AddReservation(PlayerBytes());
  RefreshPosition(true, 0);
}

void CMainDlg::OnListSelectionChanged() {
  model_.SelectRow(list_->SelectedRow());
  ApplyView();
}

void CMainDlg::RemoveReservation() {
  if (!model_.RemoveSelectedRow()) return;
  ApplyView();
}

// The list already shows the new label: it is not rebuilt under its editor.
void CMainDlg::OnLabelEdited(int row, const std::string& label) {
  if (!model_.SetRowLabel(row, label)) return;
  appliedRowsRevision_ = model_.RowsRevision();
  ApplyView();
}

// Both markers take the row's range; the player's position does not move.
void CMainDlg::ReadReservation() {
  if (!model_.ReadSelectedRow()) return;
  RefreshPosition(true, 0);
}

}  // namespace snipora
