#pragma once

#include <QTranslator>

#include "app/model/ui_language.h"

namespace snipora {

// The program's own texts and Qt's dialogs (file dialogs, standard buttons) in
// one language, installed into the application for as long as this object
// lives. Japanese is the window's source language: it takes the Japanese of
// the range-list messages (English in their module) and Qt's Japanese; English
// takes the window's English translation, and Qt's dialogs are English by
// themselves.
class CUiTranslations {
 public:
  explicit CUiTranslations(UiLanguage language);
  ~CUiTranslations();
  CUiTranslations(const CUiTranslations&) = delete;
  CUiTranslations& operator=(const CUiTranslations&) = delete;

  // False when the translation this language needs could not be loaded (the
  // texts then stay in their source language).
  bool Complete() const { return complete_; }

 private:
  bool Install(QTranslator& translator, const QString& file, const QString& folder);

  QTranslator program_;
  QTranslator qt_;
  bool complete_ = true;
};

}  // namespace snipora
