#pragma once

#include <QString>

namespace snipora {

class CMainDlg;

// The keys that press button `control` of the main window, as the key list
// names them ("R, Insert"); "" for none.
QString KeysOfControl(int control);

// Gives every button, check box, field and display of the main window a
// short tooltip: what it does, and the key that does the same.
void AddMainWindowTooltips(CMainDlg& dialog);

}  // namespace snipora
