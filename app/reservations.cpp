// The split reservations list of the main dialog: the rows acted on are the
// rows the list selects, the highlighted one for read-back.
#include <QTimer>

#include "app/main_dialog.h"
#include "app/reservation_list.h"
#include "platform/ui/qt_ui_text.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora {

void CMainDlg::AddReservation() {
  model_.AddReservation(PlayerBytes());
  RefreshPosition(true, 0);
}

void CMainDlg::OnListSelectionChanged() {
  const int before = model_.SelectedRow();
  model_.SelectRows(list_->SelectedRows(), list_->CurrentRow());
  ApplyView();
  if (model_.SelectedRow() != before) ShowHighlightedRegion();
}

void CMainDlg::ShowHighlightedRegion() {
  const int row = model_.SelectedRow();
  if (row < 0) return;
  const ReservationRow& r = model_.Rows()[row];
  waveform_->ShowFrames({r.startFrame, r.endFrame});
}

void CMainDlg::RemoveReservation() {
  if (!model_.RemoveSelectedRows()) return;
  ApplyView();
  ShowHighlightedRegion();
}

void CMainDlg::OnCellEdited(int row, int column, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(model_.Rows().size())) return;
  if (column == CReservationList::kLabelColumn) {
    model_.SetRowLabel(row, text);
    ApplyView();
    return;
  }
  if (const char* refusal = model_.EditCell(row, CReservationList::FieldOfColumn(column), text)) {
    // The row keeps its value: the cell shows it again, and once the editor
    // has closed the message says why.
    list_->SetRows(model_, model_.Conflicts());
    const std::string message = tr("「%1」は使えません。\n%2")
                                    .arg(QString::fromStdString(text), UiText(refusal))
                                    .toStdString();
    QTimer::singleShot(0, this, [this, message] { ui_.ShowText(message, MessageButtons::Ok); });
    return;
  }
  ApplyView();
}

// Both markers take the row's range; the player's position does not move.
void CMainDlg::ReadReservation() {
  if (!model_.ReadSelectedRow()) return;
  RefreshPosition(true, 0);
}

void CMainDlg::SortRows() {
  if (model_.SortRowsByStart()) ApplyView();
}

void CMainDlg::MoveRows(int direction) {
  if (model_.MoveSelectedRows(direction)) ApplyView();
}

}  // namespace snipora
