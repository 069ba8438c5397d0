#include "export/save_messages.h"

#include <cerrno>
#include <cstring>

#include "platform/system/fs_ops.h"
#include "platform/system/write_room.h"
#include "platform/ui/ui_text.h"

namespace snipora {

namespace {

constexpr size_t kListedNames = 10;

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

std::string Megabytes(uint64_t bytes) {
  return std::to_string((bytes + 999999) / 1000000) + " MB";
}

}  // namespace

std::string ErrorReason(const IUiServices& ui, int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "書き込む権限がありません。"));
    case EROFS:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "読み取り専用の場所です。"));
    case ENOSPC:
    case EDQUOT:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "ディスクの空きが足りません。"));
    case EEXIST:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "同じ名前のファイルがあります。"));
    case ENOENT:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "保存先のフォルダがありません。"));
    case ENAMETOOLONG:
      return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "名前が長すぎます。"));
    case EFBIG:
      return ui.Translated(
          QT_TRANSLATE_NOOP("Snipora", "ファイルの大きさの上限 (ulimit -f) を超えます。"));
    default:
      return std::strerror(error);
  }
}

std::string WhyNotWritten(const IUiServices& ui, const std::string& path, uint64_t bytes) {
  const std::string folder = fsops::FolderOf(path);
  if (fsops::IsFolder(path)) {
    return ui.Translated(QT_TRANSLATE_NOOP("Snipora", "同じ名前のフォルダがあります。"));
  }
  if (!fsops::IsFolder(folder)) return ErrorReason(ui, ENOENT);
  if (!fsops::CanCreateIn(folder)) return ErrorReason(ui, EACCES);
  if (const auto free = fsops::FreeBytes(folder); free && *free < bytes) {
    return FilledText(ui.Translated(QT_TRANSLATE_NOOP(
                          "Snipora", "ディスクの空きが足りません (空き %1、必要 %2)。")),
                      {Megabytes(*free), Megabytes(bytes)});
  }
  if (const auto limit = fsops::FileSizeLimit(); limit && *limit < bytes) {
    return ErrorReason(ui, EFBIG);
  }
  return ui.Translated(QT_TRANSLATE_NOOP(
      "Snipora", "書き込み中にエラーが起きました (ディスクの障害か、ファイルシステムの制限)。"));
}

std::string SaveFailedText(const IUiServices& ui, ExportOutcome outcome, const std::string& output,
                           const std::string& source, uint64_t bytes,
                           const std::vector<std::string>& kept) {
  // %1: the output, or for the outcomes that concern the source, the source.
  const char* said = nullptr;
  bool aboutSource = false;
  switch (outcome) {
    case ExportOutcome::OutputIsSource:
      said = QT_TRANSLATE_NOOP("Snipora",
                               "「%1」は元のファイルそのものなので、上書きできません。\n"
                               "別の名前を選んでください。");
      break;
    case ExportOutcome::SourceFailed:
      said = QT_TRANSLATE_NOOP("Snipora", "元のファイル「%1」を開けません。");
      aboutSource = true;
      break;
    case ExportOutcome::ReadFailed:
      said = QT_TRANSLATE_NOOP("Snipora",
                               "元のファイル「%1」を最後まで読めませんでした "
                               "(ファイルが途中で切れているか、読み取りエラーです)。");
      aboutSource = true;
      break;
    case ExportOutcome::TooLarge:
      said =
          QT_TRANSLATE_NOOP("Snipora", "「%1」は 4 GiB 以上になり、WAVE ファイルに収まりません。");
      break;
    case ExportOutcome::BadRange:
      said = QT_TRANSLATE_NOOP("Snipora", "分割予約の範囲がファイルのデータの外にあります。");
      break;
    default:
      break;
  }
  std::string text =
      said ? FilledText(ui.Translated(said), {aboutSource ? source : output})
           : FilledText(ui.Translated(QT_TRANSLATE_NOOP("Snipora", "「%1」を保存できません。\n%2")),
                        {output, WhyNotWritten(ui, output, bytes)});
  if (!kept.empty()) {
    text +=
        "\n\n" +
        ui.Translated(QT_TRANSLATE_NOOP("Snipora", "先に書き終えた次のファイルは残してあります:")) +
        "\n" + NameList(ui, kept);
  }
  return text;
}

std::string NameList(const IUiServices& ui, const std::vector<std::string>& paths) {
  std::string list;
  for (size_t i = 0; i < paths.size() && i < kListedNames; ++i) {
    list += (i == 0 ? "" : "\n") + NameOf(paths[i]);
  }
  if (paths.size() > kListedNames) {
    list += "\n" + FilledText(ui.Translated(QT_TRANSLATE_NOOP("Snipora", "…ほか %1 個")),
                              {std::to_string(paths.size() - kListedNames)});
  }
  return list;
}

}  // namespace snipora
