// Tools → language: follow the system's locale or force Japanese or English.
// The choice is stored at once and applies from the next start, since every
// window builds its texts once.
#include <QMenu>

#include "app/choice_actions.h"
#include "app/main_dialog.h"
#include "app/status_line.h"
#include "resources/menu_template.h"

namespace snipora {

void CMainDlg::AddLanguageMenu() {
  languageSetting_ = LoadLanguageSetting();
  auto* tools = qobject_cast<QMenu*>(MenuAction(kCmdVolume)->parent());
  tools->addSeparator();
  QMenu* menu = tools->addMenu(tr("表示言語(&G)"));
  menu->setObjectName(QStringLiteral("language"));
  // The languages are named in their own language, so each finds its own.
  const std::pair<LanguageSetting, QString> choices[] = {
      {LanguageSetting::FollowLocale, tr("システムの設定に従う")},
      {LanguageSetting::Japanese, QStringLiteral("日本語")},
      {LanguageSetting::English, QStringLiteral("English")},
  };
  AddChoiceActions<LanguageSetting>(menu, choices, languageSetting_, &LanguageSettingWord,
                                    [this](LanguageSetting setting) { ChooseLanguage(setting); });
}

void CMainDlg::ChooseLanguage(LanguageSetting setting) {
  if (setting == languageSetting_) return;
  languageSetting_ = setting;
  SaveLanguageSetting(setting);
  status_->ShowNote(tr("表示言語は次回の起動から切り替わります。"));
}

}  // namespace snipora
