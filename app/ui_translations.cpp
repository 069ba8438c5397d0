#include "app/ui_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "ranges/messages.h"

namespace snipora {

namespace {

std::string TranslateRangesMessage(const char* text) {
  return QCoreApplication::translate("ranges", text).toStdString();
}

}  // namespace

CUiTranslations::CUiTranslations(UiLanguage language) {
  const QString embedded = QStringLiteral(":/snipora/i18n");
  if (language == UiLanguage::English) {
    // Compiled from resources/translations/snipora_en.ts into the program.
    complete_ = Install(program_, QStringLiteral("snipora_en"), embedded);
  } else {
    // The range-list messages, English in the code; Qt's dialogs from
    // qtbase_ja.qm of the Qt translations package.
    complete_ = Install(program_, QStringLiteral("snipora_ranges_ja"), embedded) &&
                Install(qt_, QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
  ranges::SetMessageTranslator(&TranslateRangesMessage);
}

CUiTranslations::~CUiTranslations() {
  ranges::SetMessageTranslator(nullptr);
  QCoreApplication::removeTranslator(&program_);
  QCoreApplication::removeTranslator(&qt_);
}

bool CUiTranslations::Install(QTranslator& translator, const QString& file, const QString& folder) {
  return translator.load(file, folder) && QCoreApplication::installTranslator(&translator);
}

}  // namespace snipora
