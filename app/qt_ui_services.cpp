#include "app/qt_ui_services.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "platform/ui/qt_ui_text.h"
#include "resources/dialog_templates.h"
#include "resources/string_table.h"

namespace snipora {

QString ConvertFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
  QStringList entries;
  // Pairs of label and patterns; the first empty label ends the list ("||").
  for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    entries << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
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

std::optional<std::string> CQtUiServices::AskOpenFile(const OpenFileRequest& request) {
  // QFileDialog::getOpenFileName only returns files that exist.
  const QString path = QFileDialog::getOpenFileName(
      parent_, QString(), QString(), ConvertFileFilter(UiTextUtf8(request.filter.c_str())));
  if (path.isEmpty()) return std::nullopt;
  return EncodePath(path);
}

std::optional<std::string> CQtUiServices::AskSaveFile(const SaveFileRequest& request) {
  QString start = QFile::decodeName(request.initialName.c_str());
  if (!request.initialFolder.empty())
    start = QDir(QFile::decodeName(request.initialFolder.c_str())).filePath(start);
  QFileDialog dialog(parent_, QString(), start,
                     ConvertFileFilter(UiTextUtf8(request.filter.c_str())));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The suffix is added before the overwrite question, so that it asks about the real name.
  dialog.setDefaultSuffix(QString::fromUtf8(request.defaultSuffix));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return EncodePath(dialog.selectedFiles().first());
}

}  // namespace snipora
