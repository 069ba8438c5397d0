#include "app/qt_ui_services.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTreeView>

#include "platform/ui/qt_ui_text.h"
#include "resources/dialog_templates.h"
#include "resources/string_table.h"

namespace snipora {

QString ConvertFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
  QStringList entries;
  // Pairs of label and patterns; the first empty label ends the list ("||").
  for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
    QString label = parts[i];
    // Qt takes the last parentheses as the patterns: a label's own list would
    // show twice or hide the real one.
    if (label.endsWith(QLatin1Char(')')) && label.lastIndexOf(QLatin1Char('(')) > 0)
      label = label.left(label.lastIndexOf(QLatin1Char('('))).trimmed();
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    entries << label + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
}

namespace {

MessageAnswer RunMessageBox(QWidget* parent, const QString& text, MessageButtons buttons) {
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromUtf8(main_text::kCaption));
  box.setText(text);
  if (buttons == MessageButtons::Ok) {
    // Every OK-only message reports a failure or a refusal.
    box.setIcon(QMessageBox::Warning);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return MessageAnswer::Ok;
  }
  box.setIcon(QMessageBox::Question);
  QPushButton* yes =
      box.addButton(UiText(QT_TRANSLATE_NOOP("Snipora", "はい(&Y)")), QMessageBox::YesRole);
  QPushButton* no =
      box.addButton(UiText(QT_TRANSLATE_NOOP("Snipora", "いいえ(&N)")), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::string EncodePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Qt's own file dialog opens too small to show whole names, sizes and dates.
void RoomForNames(QFileDialog& dialog) {
  dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 480)));
  if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const int digit = dialog.fontMetrics().horizontalAdvance(QLatin1Char('0'));
    header->resizeSection(1, 10 * digit);  // size
    header->resizeSection(2, 12 * digit);  // type
    header->resizeSection(3, 18 * digit);  // date
  }
}

}  // namespace

MessageAnswer CQtUiServices::ShowMessage(int stringId, MessageButtons buttons) {
  const char* text = StringTableText(stringId);
  return RunMessageBox(parent_, text ? UiText(text) : QString(), buttons);
}

MessageAnswer CQtUiServices::ShowText(const std::string& text, MessageButtons buttons) {
  // A marked literal of an engine is translated here; a text the window composed
  // in the interface's language has no entry and stays as it is.
  return RunMessageBox(parent_, UiText(text.c_str()), buttons);
}

size_t CQtUiServices::AskChoice(const std::string& question,
                                const std::vector<std::string>& choices) {
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromUtf8(main_text::kCaption));
  box.setIcon(QMessageBox::Question);
  box.setText(QString::fromStdString(question));
  std::vector<QPushButton*> buttons;
  for (const std::string& choice : choices)
    buttons.push_back(box.addButton(QString::fromStdString(choice), QMessageBox::ActionRole));
  if (buttons.empty()) return 0;
  box.setDefaultButton(buttons.front());
  box.setEscapeButton(buttons.back());
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return i;
  }
  return buttons.size() - 1;
}

std::optional<std::string> CQtUiServices::AskOpenFile(const OpenFileRequest& request) {
  QFileDialog dialog(parent_, QString(), QFile::decodeName(request.initialFolder.c_str()),
                     ConvertFileFilter(UiTextUtf8(request.filter.c_str())));
  dialog.setFileMode(QFileDialog::ExistingFile);
  RoomForNames(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return EncodePath(dialog.selectedFiles().first());
}

namespace {

// The suffix of a Qt filter entry whose first pattern is "*.ext" ("cue"),
// else "" (such as for "*").
QString SuffixOfFilter(const QString& qtFilter) {
  const qsizetype open = qtFilter.lastIndexOf(QLatin1Char('('));
  QString first = qtFilter.mid(open + 1).section(QLatin1Char(' '), 0, 0);
  first.remove(QLatin1Char(')'));
  if (!first.startsWith(QStringLiteral("*.")) || first.indexOf(QLatin1Char('*'), 1) >= 0)
    return QString();
  return first.mid(2);
}

}  // namespace

std::optional<SaveFileAnswer> CQtUiServices::AskSaveFile(const SaveFileRequest& request) {
  QString start = QFile::decodeName(request.initialName.c_str());
  if (!request.initialFolder.empty())
    start = QDir(QFile::decodeName(request.initialFolder.c_str())).filePath(start);
  const QString filter = ConvertFileFilter(UiTextUtf8(request.filter.c_str()));
  QFileDialog dialog(parent_, QString(), start, filter);
  RoomForNames(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The suffix is added before the overwrite question, so that it asks about
  // the real name; a filter entry of its own type brings its own suffix.
  const QString defaultSuffix = QString::fromUtf8(request.defaultSuffix);
  const auto followFilter = [&dialog, &defaultSuffix](const QString& chosen) {
    const QString suffix = SuffixOfFilter(chosen);
    dialog.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
  followFilter(dialog.selectedNameFilter());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const int index =
      static_cast<int>(filter.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter()));
  return SaveFileAnswer{EncodePath(dialog.selectedFiles().first()), index < 0 ? 0 : index};
}

std::optional<std::string> CQtUiServices::AskFolder(const std::string& initialFolder) {
  QFileDialog dialog(parent_, QString(), QFile::decodeName(initialFolder.c_str()));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  RoomForNames(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return EncodePath(dialog.selectedFiles().first());
}

std::string CQtUiServices::Translated(const char* text) const {
  return UiTextUtf8(text);
}

}  // namespace snipora
