#include "app/model/list_cells.h"

#include <algorithm>
#include <numeric>
#include <tuple>

#include "audiofile/sound_units.h"
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

// Digits only, at least one; none past 64 bits.
std::optional<uint64_t> Digits(std::string_view text, size_t maxDigits = 19) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

// [[h:]m:]s[.f] in milliseconds: the fields after the first below 60, at
// most three decimals.
std::optional<uint64_t> ClockMilliseconds(std::string_view text) {
  uint64_t ms = 0;
  const size_t dot = text.find('.');
  if (dot != std::string_view::npos) {
    const std::string_view decimals = text.substr(dot + 1);
    const auto fraction = Digits(decimals, 3);
    if (!fraction) return std::nullopt;
    ms = *fraction * (decimals.size() == 1 ? 100 : decimals.size() == 2 ? 10 : 1);
    text = text.substr(0, dot);
  }
  uint64_t seconds = 0;
  for (int field = 0; field < 3; ++field) {
    const size_t colon = text.rfind(':');
    const std::string_view part = colon == std::string_view::npos ? text : text.substr(colon + 1);
    const bool leading = colon == std::string_view::npos;
    const auto value = Digits(part, leading ? 12 : 2);
    if (!value || (!leading && *value >= 60)) return std::nullopt;
    seconds += *value * (field == 0 ? 1 : field == 1 ? 60 : 3600);
    if (leading) return seconds * 1000 + ms;
    text = text.substr(0, colon);
  }
  return std::nullopt;  // more than three fields
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

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
  text = Trimmed(text);
  const std::optional<uint64_t> value =
      unit == ListUnit::Clock ? ClockMilliseconds(text) : Digits(text);
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
