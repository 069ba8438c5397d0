#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

#include "platform/ui/ui_text.h"

namespace snipora {

// The translation context of every text marked in code without Qt.
inline constexpr char kUiTextContext[] = "Snipora";

// A text marked with QT_TRANSLATE_NOOP("Snipora", ...) in the interface's
// language (the text itself when it has no translation).
inline QString UiText(const char* text) {
  return QCoreApplication::translate(kUiTextContext, text);
}

inline std::string UiTextUtf8(const char* text) {
  return UiText(text).toStdString();
}

}  // namespace snipora
