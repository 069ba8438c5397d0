// File → import and export of range lists: the reservation rows with their
// labels as Audacity labels, a CUE sheet or CSV, and the markers a WAVE file
// carries itself.
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "audiofile/sound_units.h"
#include "platform/system/atomic_file.h"
#include "ranges/range_formats.h"
#include "ranges/wave_markers.h"

namespace snipora {

namespace {

// The first entry is what a new list is written as when the name has no
// extension of its own.
constexpr const char* kRangeListFilter =
    "Audacity ラベル(*.txt)|*.txt|CUE シート(*.cue)|*.cue|CSV(*.csv)|*.csv||";
constexpr const char* kImportFilter =
    "範囲リスト(*.txt;*.cue;*.csv)|*.txt;*.cue;*.csv|WAVE ファイルのマーカ(*.wav)|*.wav||";
constexpr const char* kDefaultExtension = ".txt";

std::string FileNameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

bool HasExtension(const std::string& path, const std::string& extension) {
  const std::string name = FileNameOf(path);
  if (name.size() < extension.size()) return false;
  std::string tail = name.substr(name.size() - extension.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == extension;
}

std::string UnknownFormatText(const std::string& path) {
  return "「" + FileNameOf(path) +
         "」の形式が分かりません。\n拡張子を .txt (Audacity ラベル)、.cue (CUE シート)、"
         ".csv (CSV) のどれかにしてください。";
}

std::string RefusedText(const std::string& path, const ranges::RangeListRead& read) {
  const std::string where =
      read.errorLine > 0 ? "の " + std::to_string(read.errorLine) + " 行目" : std::string();
  return "範囲リスト「" + FileNameOf(path) + "」" + where + "を読み込めません。\n" + read.error +
         "\n範囲は追加されませんでした。";
}

ranges::RangeListRead ReadList(const std::string& path, const ranges::SourceShape& shape) {
  if (HasExtension(path, ".wav")) return ranges::ReadWaveMarkersOfFile(path, shape);
  ranges::RangeListRead read;
  const auto format = ranges::RangeFormatOfPath(path);
  std::string text;
  if (!format) {
    read.error = "形式が分かりません (.txt、.cue、.csv、.wav のどれか)";
  } else if (!ReadWholeFile(path, text)) {
    read.error = "ファイルを読めません";
  } else {
    read = ranges::ReadRangeList(*format, text, shape);
  }
  return read;
}

// Each note on its own line below a heading.
std::string NotesText(const std::string& heading, const std::vector<std::string>& notes) {
  std::string text = heading;
  for (const std::string& note : notes) text += "\n" + note;
  return text;
}

}  // namespace

void CMainDlg::OnMenuImportRanges() {
  if (!model_.HasFile()) return;
  const std::optional<std::string> path = ui_.AskOpenFile({kImportFilter});
  if (!path) return;
  const SoundFormatInfo& format = model_.Format();
  const ranges::RangeListRead read =
      ReadList(*path, {FramesPerSecond(format), TotalFrames(format)});
  if (!read.ok()) {
    ui_.ShowText(RefusedText(*path, read), MessageButtons::Ok);
    return;
  }
  if (read.ranges.empty()) {
    ui_.ShowText("「" + FileNameOf(*path) + "」には範囲がありません。", MessageButtons::Ok);
    return;
  }
  // Checked against the data: every bound is a frame of the file.
  std::vector<ReservationRow> rows;
  for (const ranges::LabeledRange& range : read.ranges) {
    rows.push_back({FramesToMilliseconds(format, range.endFrame - range.startFrame),
                    range.startFrame, range.endFrame, range.label});
  }
  model_.AddRows(rows);
  ApplyView();
  if (!read.notes.empty()) {
    ui_.ShowText(NotesText("「" + FileNameOf(*path) + "」の次の行は読み飛ばしました:", read.notes),
                 MessageButtons::Ok);
  }
}

void CMainDlg::OnMenuExportRanges() {
  if (model_.Rows().empty()) return;
  SaveFileRequest request;
  request.filter = kRangeListFilter;
  request.initialName = model_.DisplayName();
  const std::optional<std::string> chosen = ui_.AskSaveFile(request);
  if (!chosen) return;
  std::string path = *chosen;
  if (FileNameOf(path).find('.') == std::string::npos) path += kDefaultExtension;
  const auto listFormat = ranges::RangeFormatOfPath(path);
  if (!listFormat) {
    ui_.ShowText(UnknownFormatText(path), MessageButtons::Ok);
    return;
  }
  std::vector<ranges::LabeledRange> list;
  for (const ReservationRow& row : model_.Rows())
    list.push_back({row.startFrame, row.endFrame, row.label});
  const SoundFormatInfo& format = model_.Format();
  const ranges::RangeListText written =
      ranges::WriteRangeList(*listFormat, list, {FramesPerSecond(format), TotalFrames(format)},
                             FileNameOf(model_.FullPath()));
  std::string error = written.error;
  if (error.empty() &&
      !WriteFileAtomically(path, written.text.data(), written.text.size(), false, &error)) {
    error = "書き込めません: " + error;
  }
  if (!error.empty()) {
    ui_.ShowText("「" + FileNameOf(path) + "」に書き出せませんでした。\n" + error,
                 MessageButtons::Ok);
    return;
  }
  if (!written.notes.empty()) {
    ui_.ShowText(NotesText("「" + FileNameOf(path) + "」では次の位置を丸めました:", written.notes),
                 MessageButtons::Ok);
  }
}

}  // namespace snipora
