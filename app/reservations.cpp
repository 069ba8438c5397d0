// The split reservations list of the main dialog.
#include "app/main_dialog.h"
#include "app/number_text.h"
#include "app/reservation_list.h"
#include "resources/dialog_templates.h"

namespace snipora {

void CMainDlg::AddReservation() {
  Marker& m1 = markers_[0];
  Marker& m2 = markers_[1];
  uint32_t start = 0;
  uint32_t end = 0;
  if (m1.set && m2.set) {
    start = std::min(m1.position, m2.position);
    end = std::max(m1.position, m2.position);
  } else if (m1.set || m2.set) {
    // One marker: cut between it and the position, then move the marker to
    // the position, so repeated presses cut consecutive pieces.
    Marker& marker = m1.set ? m1 : m2;
    const uint32_t position = PlayerBytes();
    start = std::min(marker.position, position);
    end = std::max(marker.position, position);
    marker.position = position;
    for (int k = 1; k <= 2; ++k) {
      const Marker& shown = markers_[k - 1];
      const uint32_t milliseconds =
          shown.set && AvgBytesPerSec()
              ? static_cast<uint32_t>(uint64_t{shown.position} * 1000 / AvgBytesPerSec())
              : 0;
      ShowMarker(k, milliseconds, shown.set && BlockAlign() ? shown.position / BlockAlign() : 0);
    }
  } else {
    return;
  }
  if (start == end || BlockAlign() == 0) return;

  const uint32_t startSample = start / BlockAlign();
  const uint32_t endSample = end / BlockAlign();
  const uint32_t rate = format_.formatBlock.samplesPerSec;
  const uint32_t length =
      rate ? static_cast<uint32_t>(uint64_t{endSample - startSample} * 1000 / rate) : 0;
  // Sample indices are written unsigned, as they are read back.
  list_->AppendRow(QString::number(length), QString::number(startSample),
                   QString::number(endSample));
  unsavedReservations_ = true;
}

void CMainDlg::OnListClick() {
  if (list_->SelectionAnchor() < 0) return;
  SetEnabled(1030, true);
  SetEnabled(1036, true);
}

void CMainDlg::RemoveReservation() {
  const int anchor = list_->SelectionAnchor();
  if (anchor < 0) return;
  list_->DeleteRow(anchor);
  if (list_->SelectionAnchor() >= 0) return;
  SetEnabled(1030, false);
  SetEnabled(1036, false);
  // Rows that remain are still unsaved: only an empty list has nothing to lose.
  if (list_->RowCount() == 0) unsavedReservations_ = false;
}

void CMainDlg::ReadReservation() {
  const int anchor = list_->SelectionAnchor();
  if (anchor < 0) return;
  const uint32_t samples[2] = {
      ReadUnsignedValue(list_->Cell(anchor, 1).toStdString()).value_or(0),
      ReadUnsignedValue(list_->Cell(anchor, 2).toStdString()).value_or(0),
  };
  const uint32_t rate = format_.formatBlock.samplesPerSec;
  for (int k = 1; k <= 2; ++k) {
    const uint32_t value = samples[k - 1];
    ShowMarker(k, rate ? static_cast<uint32_t>(uint64_t{value} * 1000 / rate) : 0, value);
    markers_[k - 1] = {true, value * BlockAlign()};
  }
  SetText(1024, QString::fromUtf8(main_text::kMarkerClear));
  SetText(1025, QString::fromUtf8(main_text::kMarkerClear));
  SetEnabled(1029, true);
  SetEnabled(1035, true);
  RefreshPosition(true, 0);
}

}  // namespace snipora
