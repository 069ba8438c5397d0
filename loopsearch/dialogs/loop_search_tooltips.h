#pragma once

class QWidget;

namespace snipora {

// Short tooltips for the controls of the loop detection dialog and of its
// progress dialog, found by their numeric ids.
void AddLoopSearchTooltips(QWidget& dialog);
void AddLoopProgressTooltips(QWidget& dialog);

}  // namespace snipora
