#include "app/ui_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace snipora {

CUiTranslations::CUiTranslations(UiLanguage language) {
  if (language == UiLanguage::English) {
    // Compiled from resources/translations/snipora_en.ts into the program.
    complete_ = Install(program_, QStringLiteral("snipora_en"), QStringLiteral(":/snipora/i18n"));
  } else {
    // qtbase_ja.qm of the Qt translations package.
    complete_ = Install(qt_, QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
}

CUiTranslations::~CUiTranslations() {
  QCoreApplication::removeTranslator(&program_);
  QCoreApplication::removeTranslator(&qt_);
}

bool CUiTranslations::Install(QTranslator& translator, const QString& file, const QString& folder) {
  return translator.load(file, folder) && QCoreApplication::installTranslator(&translator);
}

}  // namespace snipora
