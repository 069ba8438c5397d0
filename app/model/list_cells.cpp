#include "app/model/list_cells.h"

#include <algorithm>
#include <numeric>
#include <tuple>

#include "audiofile/sound_units.h"
#include "foundation/number_text.h"
#include "platform/ui/ui_text.h"
#include "waveform/clock_text.h"

namespace snipora {

namespace {

constexpr const char* kNotANumber = QT_TRANSLATE_NOOP("Snipora", "数字だけで入力してください。");
constexpr const char* kNotAClock =
    QT_TRANSLATE_NOOP("Snipora", "時:分:秒.ミリ秒 (例えば 0:01:23.500) の形で入力してください。");
constexpr const char* kStartNotBeforeEnd =
    QT_TRANSLATE_NOOP("Snipora", "開始は終了より前にしてください。");
constexpr const char* kEndNotAfterStart =
    QT_TRANSLATE_NOOP("Snipora", "終了は開始より後にしてください。");
constexpr const char* kNoLength = QT_TRANSLATE_NOOP("Snipora", "長さは 0 より長くしてください。");
constexpr const char* kPastTheEnd =
    QT_TRANSLATE_NOOP("Snipora", "ファイルの終わりを越えています。");

// The settings words of the units, in the order of ListUnit.
constexpr std::string_view kUnitWords[] = {"samples", "ms", "clock"};

}  // namespace

const char* ListUnitWord(ListUnit unit) {
  return kUnitWords[static_cast<size_t>(unit)].data();  // literals: terminated
}

std::optional<ListUnit> ListUnitFromWord(std::string_view word) {
  const auto* found = std::find(std::begin(kUnitWords), std::end(kUnitWords), word);
  if (found == std::end(kUnitWords)) return std::nullopt;
  return static_cast<ListUnit>(found - std::begin(kUnitWords));
}

std::string CellText(const ReservationRow& row, RowField field, ListUnit unit,
                     uint32_t sampleRate) {
  if (unit == ListUnit::Samples) {
    return std::to_string(field == RowField::Length  ? row.endFrame - row.startFrame
                          : field == RowField::Start ? row.startFrame
                                                     : row.endFrame);
  }
  const uint64_t start = MillisecondOfFrame(row.startFrame, sampleRate);
  const uint64_t end = MillisecondOfFrame(row.endFrame, sampleRate);
  const uint64_t ms = field == RowField::Length  ? end - start
                      : field == RowField::Start ? start
                                                 : end;
  return unit == ListUnit::Milliseconds ? std::to_string(ms) : MillisecondsClockText(ms);
}

CellEdit EditedRow(const ReservationRow& row, RowField field, std::string_view text, ListUnit unit,
                   uint32_t sampleRate, uint64_t totalFrames) {
  const std::optional<uint64_t> value =
      unit == ListUnit::Clock ? ReadClockMilliseconds(text) : ReadUnsigned64Value(text);
  if (!value) return {std::nullopt, unit == ListUnit::Clock ? kNotAClock : kNotANumber};
  const auto frameOf = [&](uint64_t typed) {
    return unit == ListUnit::Samples ? typed : MillisecondsToFrames(typed, sampleRate);
  };
  ReservationRow edited = row;
  switch (field) {
    case RowField::Start:
      edited.startFrame = frameOf(*value);
      if (edited.startFrame >= edited.endFrame) return {std::nullopt, kStartNotBeforeEnd};
      break;
    case RowField::End:
      edited.endFrame = frameOf(*value);
      if (edited.endFrame <= edited.startFrame) return {std::nullopt, kEndNotAfterStart};
      break;
    case RowField::Length:
      if (*value == 0) return {std::nullopt, kNoLength};
      // A length in time ends that long after the start as the list shows it.
      edited.endFrame =
          unit == ListUnit::Samples
              ? (*value > UINT64_MAX - row.startFrame ? UINT64_MAX : row.startFrame + *value)
              : frameOf(std::min(*value, UINT64_MAX / 2) +
                        MillisecondOfFrame(row.startFrame, sampleRate));
      if (edited.endFrame <= edited.startFrame) return {std::nullopt, kNoLength};
      break;
  }
  if (edited.endFrame > totalFrames) return {std::nullopt, kPastTheEnd};
  return {edited, nullptr};
}

std::vector<RowConflict> FindRowConflicts(const std::vector<ReservationRow>& rows) {
  std::vector<RowConflict> conflicts(rows.size(), RowConflict::None);
  std::vector<size_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return std::tie(rows[a].startFrame, rows[a].endFrame) <
           std::tie(rows[b].startFrame, rows[b].endFrame);
  });
  // Sweeping by start: a row that starts before the furthest end so far
  // overlaps the row that reaches it. Every overlapping pair is caught so,
  // as the furthest end passes on only through rows that overlap it.
  size_t reach = 0;  // the row with the furthest end so far
  for (size_t i = 0; i < order.size(); ++i) {
    const ReservationRow& row = rows[order[i]];
    if (i > 0 && row.startFrame < rows[reach].endFrame) {
      conflicts[order[i]] = conflicts[reach] = RowConflict::Overlaps;
    }
    if (i == 0 || row.endFrame > rows[reach].endFrame) reach = order[i];
  }
  for (size_t i = 1; i < order.size(); ++i) {
    const ReservationRow& a = rows[order[i - 1]];
    const ReservationRow& b = rows[order[i]];
    if (a.startFrame == b.startFrame && a.endFrame == b.endFrame)
      conflicts[order[i - 1]] = conflicts[order[i]] = RowConflict::Duplicates;
  }
  return conflicts;
}

}  // namespace snipora
