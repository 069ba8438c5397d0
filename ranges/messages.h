#pragma once

#include <initializer_list>
#include <string>

#include "platform/ui/ui_text.h"

// The messages of the range-list readers and writers: English templates
// marked as QT_TRANSLATE_NOOP("ranges", ...) with %1..%9 for their values.
// snipora-cut shows them as written; the window has them translated.
namespace snipora::ranges {

// Gives the template's text in the interface's language.
using MessageTranslator = std::string (*)(const char* text);

// Process-wide, like the text encoding: the window sets it once before it
// reads a list; null (the default) keeps the English.
void SetMessageTranslator(MessageTranslator translator);

// `text` translated, each %1..%9 replaced by that value (values are not scanned).
std::string Say(const char* text, std::initializer_list<std::string> values = {});

}  // namespace snipora::ranges
