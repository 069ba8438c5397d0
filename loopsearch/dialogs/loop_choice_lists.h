#pragma once

#include <QComboBox>
#include <QString>

#include "platform/ui/qt_ui_text.h"

namespace snipora {

// A drop-down list of a loop search's choices (window lengths or
// precisions), named by its numeric id, with `selected` chosen.
template <class Choices>
QComboBox* MakeLoopChoiceList(QWidget* parent, int id, const Choices& choices, int selected) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::number(id));
  for (const auto& choice : choices) list->addItem(UiText(choice.label));
  list->setCurrentIndex(selected);
  return list;
}

}  // namespace snipora
