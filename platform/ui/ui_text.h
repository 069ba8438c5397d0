#pragma once

// User-visible texts of code without Qt are marked for Qt Linguist as
// QT_TRANSLATE_NOOP("Snipora", "text"): lupdate collects them under that one
// context, and the Qt side translates them where it shows them (UiText in
// platform/ui/qt_ui_text.h). Without Qt the marker is the text itself; with
// Qt, Qt's identical definition applies.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
