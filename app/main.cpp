// The program: one modal main dialog; the program ends when it closes.
#include <QApplication>
#include <cstdlib>
#include <string>

#include "app/main_dialog.h"
#include "app/qt_ui_services.h"
#include "app/ui_translations.h"
#include "platform/sound/sound_device.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Before any window exists: every text is made in the chosen language.
  const snipora::CUiTranslations translations(
      snipora::ChooseUiLanguage(snipora::LoadLanguageSetting(), std::getenv));
  // The command line is the file to open: the arguments joined by spaces.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  std::unique_ptr<snipora::ISoundDevice> device = snipora::OpenSystemSoundDevice();
  snipora::CQtUiServices ui;
  snipora::CMainDlg dialog(ui, *device, commandLine);
  ui.SetParent(&dialog);
  // Scripts and launchers tell a file that would not open by the status.
  return dialog.exec() == snipora::CMainDlg::kResultCannotOpen ? 1 : 0;
}
