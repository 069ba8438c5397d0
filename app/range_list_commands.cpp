// File → import and export of range lists: the reservation rows with their
// labels as Audacity labels, a CUE sheet or CSV, and the markers a WAVE file
// carries itself.
#include <QFile>
#include <cctype>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/model/edit_steps.h"
#include "audiofile/sound_units.h"
#include "foundation/legacy_text.h"
#include "platform/system/atomic_file.h"
#include "platform/ui/ui_text.h"
#include "ranges/list_encoding.h"
#include "ranges/range_formats.h"
#include "ranges/wave_markers.h"

namespace snipora {

namespace {

// The entries of the export's file types, in the order of kListTypes.
constexpr const char* kRangeListFilter = QT_TRANSLATE_NOOP(
    "Snipora", "Audacity ラベル(*.txt)|*.txt|CUE シート(*.cue)|*.cue|CSV(*.csv)|*.csv||");

struct ListType {
  ranges::RangeFormat format;
  const char* extension;
};

constexpr ListType kListTypes[] = {{ranges::RangeFormat::AudacityLabels, ".txt"},
                                   {ranges::RangeFormat::CueSheet, ".cue"},
                                   {ranges::RangeFormat::Csv, ".csv"}};
constexpr const char* kImportFilter = QT_TRANSLATE_NOOP(
    "Snipora",
    "範囲リスト(*.txt;*.cue;*.csv)|*.txt;*.cue;*.csv|WAVE ファイルのマーカ(*.wav)|*.wav||");

std::string FileNameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

QString QuotedNameOf(const std::string& path) {
  return QFile::decodeName(FileNameOf(path).c_str());
}

bool HasExtension(const std::string& path, const std::string& extension) {
  const std::string name = FileNameOf(path);
  if (name.size() < extension.size()) return false;
  std::string tail = name.substr(name.size() - extension.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == extension;
}

QString RefusedText(const std::string& path, const ranges::RangeListRead& read) {
  const QString error = QString::fromStdString(read.error);
  // One arg() call each: a '%' in the file name is never taken for a placeholder.
  if (read.errorLine > 0) {
    return CMainDlg::tr(
               "範囲リスト「%1」の %2 行目を読み込めません。\n%3\n範囲は追加されませんでした。")
        .arg(QuotedNameOf(path), QString::number(read.errorLine), error);
  }
  return CMainDlg::tr("範囲リスト「%1」を読み込めません。\n%2\n範囲は追加されませんでした。")
      .arg(QuotedNameOf(path), error);
}

QString EncodingName(const std::string& encoding) {
  return QString::fromStdString(encoding == "CP932" ? "Shift_JIS (CP932)" : encoding);
}

// The encoding of a list that is not UTF-8, as the user takes it from those
// it reads in, each shown by the lines it gives; nothing when none reads or
// the user takes none.
std::optional<std::string> AskEncoding(IUiServices& ui, const std::string& path,
                                       const std::string& text) {
  const std::vector<std::string> encodings = ranges::LegacyEncodingsOf(text);
  for (const std::string& encoding : encodings) {
    QString lines;
    for (const std::string& line : ranges::LinesBeyondAscii(DecodeToUtf8(text, encoding).text, 3))
      lines += "\n    " + QString::fromStdString(line);
    const QString question =
        CMainDlg::tr(
            "「%1」は UTF-8 ではありません。%2 として読むと次のようになります:\n%3\n\n"
            "この文字コードで読み込みますか?")
            .arg(QuotedNameOf(path), EncodingName(encoding), lines);
    if (ui.ShowText(question.toStdString(), MessageButtons::YesNo) == MessageAnswer::Yes) {
      return encoding;
    }
  }
  if (encodings.empty()) {
    ui.ShowText(CMainDlg::tr("範囲リスト「%1」は UTF-8 でも Shift_JIS、CP1251、CP1252 でもないため"
                             "読み込めません。\n範囲は追加されませんでした。")
                    .arg(QuotedNameOf(path))
                    .toStdString(),
                MessageButtons::Ok);
  }
  return std::nullopt;
}

// The list at path; nothing when the user declined every encoding offered.
std::optional<ranges::RangeListRead> ReadList(IUiServices& ui, const std::string& path,
                                              const ranges::SourceShape& shape) {
  if (HasExtension(path, ".wav")) return ranges::ReadWaveMarkersOfFile(path, shape);
  ranges::RangeListRead read;
  const auto format = ranges::RangeFormatOfPath(path);
  std::string text;
  if (!format) {
    read.error = CMainDlg::tr("形式が分かりません (.txt、.cue、.csv、.wav のどれか)").toStdString();
  } else if (!ReadWholeFile(path, text)) {
    read.error = CMainDlg::tr("ファイルを読めません").toStdString();
  } else if (!ranges::NeedsEncoding(text)) {
    read = ranges::ReadRangeList(*format, text, shape);
  } else if (const auto encoding = AskEncoding(ui, path, text)) {
    read = ranges::ReadRangeList(*format, text, shape, *encoding);
  } else {
    return std::nullopt;
  }
  return read;
}

// Each note on its own line below a heading.
std::string NotesText(const QString& heading, const std::vector<std::string>& notes) {
  std::string text = heading.toStdString();
  for (const std::string& note : notes) text += "\n" + note;
  return text;
}

}  // namespace

void CMainDlg::OnMenuImportRanges() {
  if (!model_.HasFile()) return;
  const std::optional<std::string> path = ui_.AskOpenFile({kImportFilter, DialogFolder()});
  if (!path) return;
  const SoundFormatInfo& format = model_.Format();
  const std::optional<ranges::RangeListRead> list =
      ReadList(ui_, *path, {FramesPerSecond(format), TotalFrames(format)});
  if (!list) return;
  const ranges::RangeListRead& read = *list;
  if (!read.ok()) {
    ui_.ShowText(RefusedText(*path, read).toStdString(), MessageButtons::Ok);
    return;
  }
  if (read.ranges.empty()) {
    ui_.ShowText(tr("「%1」には範囲がありません。").arg(QuotedNameOf(*path)).toStdString(),
                 MessageButtons::Ok);
    return;
  }
  // Checked against the data: every bound is a frame of the file.
  std::vector<ReservationRow> rows;
  for (const ranges::LabeledRange& range : read.ranges)
    rows.push_back({range.startFrame, range.endFrame, range.label});
  // One step: Undo takes the whole list back out.
  model_.AddRows(std::move(rows), edit_step::kImport);
  ApplyView();
  if (!read.notes.empty()) {
    ui_.ShowText(
        NotesText(tr("「%1」を読み込みました。次の点に注意してください:").arg(QuotedNameOf(*path)),
                  read.notes),
        MessageButtons::Ok);
  }
}

void CMainDlg::OnMenuExportRanges() {
  if (model_.Rows().empty()) return;
  SaveFileRequest request;
  request.filter = kRangeListFilter;
  request.initialName = model_.DisplayName();
  request.initialFolder = DialogFolder();
  request.defaultSuffix = kListTypes[0].extension + 1;
  const std::optional<SaveFileAnswer> chosen = ui_.AskSaveFile(request);
  if (!chosen) return;
  // The type chosen in the dialog decides the format; a name typed without
  // an extension gets that type's.
  const auto index = static_cast<size_t>(chosen->filter);
  const ListType& type = kListTypes[index < std::size(kListTypes) ? index : 0];
  std::string path = chosen->path;
  if (FileNameOf(path).find('.') == std::string::npos) path += type.extension;
  std::vector<ranges::LabeledRange> list;
  for (const ReservationRow& row : model_.Rows())
    list.push_back({row.startFrame, row.endFrame, row.label});
  const SoundFormatInfo& format = model_.Format();
  const ranges::RangeListText written =
      ranges::WriteRangeList(type.format, list, {FramesPerSecond(format), TotalFrames(format)},
                             FileNameOf(model_.FullPath()));
  std::string error = written.error;
  if (error.empty() &&
      !WriteFileAtomically(path, written.text.data(), written.text.size(), false, &error)) {
    error = tr("書き込めません: %1").arg(QString::fromStdString(error)).toStdString();
  }
  if (!error.empty()) {
    ui_.ShowText(tr("「%1」に書き出せませんでした。\n%2")
                     .arg(QuotedNameOf(path), QString::fromStdString(error))
                     .toStdString(),
                 MessageButtons::Ok);
    return;
  }
  if (!written.notes.empty()) {
    ui_.ShowText(
        NotesText(tr("「%1」では次の位置を丸めました:").arg(QuotedNameOf(path)), written.notes),
        MessageButtons::Ok);
  }
}

}  // namespace snipora
