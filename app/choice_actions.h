#pragma once

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <functional>
#include <span>
#include <utility>

namespace snipora {

// One checkable action per choice in `menu`, one of them checked: `current`
// at first, later the one picked, which `chosen` receives. Each action is
// named by the settings word of its choice.
template <class T>
void AddChoiceActions(QMenu* menu, std::span<const std::pair<T, QString>> choices, T current,
                      const char* (*word)(T), std::function<void(T)> chosen) {
  auto* group = new QActionGroup(menu);
  for (const auto& [value, text] : choices) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(word(value)));
    action->setCheckable(true);
    action->setChecked(value == current);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, menu,
                     [chosen, choice = value] { chosen(choice); });
  }
}

}  // namespace snipora
