#include "loopsearch/dialogs/loop_search_tooltips.h"

#include <QWidget>

#include "platform/ui/qt_ui_text.h"

namespace snipora {

namespace {

struct Tip {
  const char* id;
  const char* text;
};

constexpr Tip kSearchTips[] = {
    {"1035", QT_TRANSLATE_NOOP("Snipora", "マーカ1から始まる音を探します")},
    {"1036", QT_TRANSLATE_NOOP("Snipora", "マーカ2から始まる音を探します")},
    {"1037", QT_TRANSLATE_NOOP("Snipora", "現在位置から始まる音を探します")},
    {"1041", QT_TRANSLATE_NOOP("Snipora", "探す音の始まりの後ろから比べ始めます")},
    {"1038", QT_TRANSLATE_NOOP("Snipora", "マーカ1から比べ始めます")},
    {"1039", QT_TRANSLATE_NOOP("Snipora", "マーカ2から比べ始めます")},
    {"1040", QT_TRANSLATE_NOOP("Snipora", "現在位置から比べ始めます")},
    {"1044", QT_TRANSLATE_NOOP("Snipora", "一致を調べる音の長さ")},
    {"1045", QT_TRANSLATE_NOOP("Snipora", "一致とみなす差の大きさ (小さいほど厳密)")},
    {"1042", QT_TRANSLATE_NOOP("Snipora", "どこまで先を比べるか (秒)。空ならファイルの終わりまで")},
    {"1", QT_TRANSLATE_NOOP("Snipora", "この設定で検出を始めます")},
    {"1001", QT_TRANSLATE_NOOP("Snipora", "使えません")},
    {"2", QT_TRANSLATE_NOOP("Snipora", "閉じます")},
    {"1046", QT_TRANSLATE_NOOP("Snipora", "見つかったループ: 探す音の始まりからの距離 (バイト)")},
};

void Apply(QWidget& dialog, const char* id, const char* text) {
  if (auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(id)))
    control->setToolTip(UiText(text));
}

}  // namespace

void AddLoopSearchTooltips(QWidget& dialog) {
  for (const Tip& tip : kSearchTips) Apply(dialog, tip.id, tip.text);
}

void AddLoopProgressTooltips(QWidget& dialog) {
  Apply(dialog, "2", QT_TRANSLATE_NOOP("Snipora", "検出を中止します。見つかったループは残ります"));
}

}  // namespace snipora
