#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_hosts.h"
#include "app/status_line.h"
#include "app/ui_translations.h"
#include "export/dialogs/save_progress_dialog.h"
#include "loopsearch/dialogs/loop_progress_dlg.h"
#include "platform/ui/qt_ui_text.h"
#include "resources/control_ids.h"
#include "resources/string_table.h"
#include "tests/app/main_dialog_fixture.h"

// Every text the user sees, in either language: the window with its menus,
// each dialog it opens, its messages and Qt's own dialogs.
namespace snipora {
namespace {

using test::MainDialogTest;

// A shown button or label of window `top` narrower than its text needs cuts
// the text off. (Dialogs that are children of `top` are checked when shown.)
void ExpectNotClipped(QWidget* top, QWidget* widget, const QString& text) {
  if (widget->window() != top || !widget->isVisibleTo(top) || text.isEmpty()) return;
  if (auto* label = qobject_cast<QLabel*>(widget); label && label->wordWrap()) return;
  EXPECT_GE(widget->width(), widget->sizeHint().width())
      << "clipped: " << text.toStdString() << " in "
      << widget->window()->windowTitle().toStdString();
}

// A shown button, check box, field, slider or drop-down list of window `top`
// says what it is for in a tooltip.
void ExpectTooltip(QWidget* top, QWidget* widget) {
  const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                       qobject_cast<QSlider*>(widget) || qobject_cast<QComboBox*>(widget);
  if (!control || widget->window() != top || !widget->isVisibleTo(top)) return;
  // The line edit of a drop-down list or a spin box shares its owner's tooltip.
  if (qobject_cast<QComboBox*>(widget->parentWidget()) ||
      qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
    return;
  EXPECT_FALSE(widget->toolTip().isEmpty())
      << "no tooltip: " << widget->metaObject()->className() << " "
      << widget->objectName().toStdString() << " in " << top->windowTitle().toStdString();
}

// Every text `top` shows: titles, labels, buttons, group boxes, list headers
// and items, drop-down entries, menus (with their submenus) and tooltips.
// A shown button or label must have room for its text; every shown control
// has a tooltip.
void CollectTexts(QWidget* top, std::vector<QString>& texts) {
  texts.push_back(top->windowTitle());
  QList<QWidget*> widgets = top->findChildren<QWidget*>();
  widgets.prepend(top);
  for (QWidget* widget : widgets) {
    texts.push_back(widget->toolTip());
    ExpectTooltip(top, widget);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      texts.push_back(button->text());
      ExpectNotClipped(top, button, button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      texts.push_back(label->text());
      ExpectNotClipped(top, label, label->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) texts.push_back(group->title());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < combo->count(); ++i) texts.push_back(combo->itemText(i));
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
      QAbstractItemModel* model = view->model();
      for (int column = 0; column < model->columnCount(); ++column)
        texts.push_back(model->headerData(column, Qt::Horizontal).toString());
      for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column)
          texts.push_back(model->index(row, column).data().toString());
      }
    }
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
      texts.push_back(menu->title());
      for (QAction* action : menu->actions()) texts.push_back(action->text());
    }
  }
}

// The texts of the modal dialog that `open` runs, taken while it shows; the
// dialog is then closed.
std::vector<QString> TextsOfModal(const std::function<void()>& open) {
  std::vector<QString> texts;
  QTimer::singleShot(0, [&texts] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return ADD_FAILURE() << "no dialog came up";
    CollectTexts(modal, texts);
    modal->close();
  });
  open();
  return texts;
}

bool HasJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
        (u >= 0xFF00 && u <= 0xFFEF))
      return true;
  }
  return false;
}

// Lays out a dialog whose work starts when it is shown, without showing it.
void ShowLaidOut(QWidget& dialog) {
  dialog.adjustSize();
  dialog.layout()->activate();
}

class LanguageTest : public MainDialogTest {
 protected:
  // The window with a file, a reservation and marker 1, and every dialog it
  // shows (the progress dialogs are made without running their work).
  std::vector<QString> TextsOfEveryWindow() {
    // A settings file of each walk's own: no recent file or volume of an
    // earlier walk shows in this one.
    settings_ = std::make_unique<test::TempDir>();
    setenv("XDG_CONFIG_HOME", settings_->path().c_str(), 1);
    // Messages composed by the engines are translated as the window's are.
    ui.translate = [](const char* text) { return UiTextUtf8(text); };
    std::vector<QString> texts;
    Start("");  // the empty window
    CollectTexts(dlg.get(), texts);
    StartWithSong(5);
    MarkAt(1, 0);
    MarkAt(2, kBytesPerSecond);
    Click(kCtlAddReservation);
    QCoreApplication::processEvents();  // the window's layout follows its texts
    CollectTexts(dlg.get(), texts);
    const auto add = [&texts](const std::vector<QString>& more) {
      texts.insert(texts.end(), more.begin(), more.end());
    };
    add(TextsOfModal([this] { dlg->OnMenuVolume(); }));
    add(TextsOfModal([this] { dlg->OnMenuSpeed(); }));
    add(TextsOfModal([this] { dlg->OnMenuAbout(); }));
    add(TextsOfModal([this] { dlg->OnMenuLoopSearch(); }));
    add(TextsOfModal([this] { dlg->OnMenuFindSounds(); }));
    add(TextsOfModal([this] { Click(kCtlJump); }));
    add(TextsOfModal([this] { dlg->OnMenuShortcuts(); }));

    CMainExportHost exportHost(*dlg);
    CSaveProgressDlg save(exportHost, ui);
    ShowLaidOut(save);
    CollectTexts(&save, texts);
    CLoopProgressDlg progress([](ILoopSearchProgress&) { return LoopSearchEnd::Completed; });
    ShowLaidOut(progress);
    CollectTexts(&progress, texts);

    // Messages: the string table as the message boxes show it, and texts the
    // window composes (the key list, a file that does not open).
    for (int id = kStrAboutMenu; id <= kStrLoopFailed; ++id)
      texts.push_back(UiText(StringTableText(id)));
    dlg->OpenAnotherFile(test::Sounds().File("missing.wav"));
    SaveQuestionsAndFailures(texts);
    for (const auto& asked : ui.asked) {
      texts.push_back(QString::fromStdString(asked.text));
      for (const std::string& choice : asked.choices)
        texts.push_back(QString::fromStdString(choice));
    }
    return texts;
  }

  // The save's own questions and messages: a fade length missing, the split
  // folder existing (then cancelled), a piece that cannot be written.
  void SaveQuestionsAndFailures(std::vector<QString>& texts) {
    auto* fade = qobject_cast<QAbstractButton*>(dlg->Control(kCtlFadeOut));
    fade->setChecked(true);
    dlg->OnMenuSave();
    fade->setChecked(false);
    Click(kCtlAddReservation);  // a second row: the split asks about its folder
    const std::string folder = std::filesystem::path(dlg->FullPath()).replace_extension();
    std::filesystem::create_directories(folder + "/02.wav");
    test::WriteFileBytes(folder + "/01.wav", {1});
    ui.choices = {2, 0};  // cancel, then replace
    dlg->OnMenuSave();
    dlg->OnMenuSave();
    texts.push_back(dlg->StatusLine()->Text());
  }

  // The message of a range list the window refuses (a CSV record that is no range).
  std::string RefusedRangeListMessage() {
    const std::string list = test::Sounds().File("bad.csv");
    test::WriteFileBytes(list, {'1', ',', 'x', '\n'});
    ui.asked.clear();
    ui.files = {list};
    dlg->OnMenuImportRanges();
    return ui.asked.empty() ? std::string() : ui.asked.back().text;
  }

  // The standard buttons of Qt's own file dialog.
  static QString FileDialogCancelText() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    return buttons ? buttons->button(QDialogButtonBox::Cancel)->text() : QString();
  }

  std::unique_ptr<test::TempDir> settings_;
};

TEST_F(LanguageTest, EnglishLeavesNoJapaneseTextAnywhere) {
  const CUiTranslations english(UiLanguage::English);
  ASSERT_TRUE(english.Complete());
  const std::vector<QString> texts = TextsOfEveryWindow();
  ASSERT_GT(texts.size(), 100u);
  for (const QString& text : texts) {
    // The language menu names Japanese in Japanese, as language menus do.
    if (text == QStringLiteral("日本語")) continue;
    EXPECT_FALSE(HasJapanese(text)) << text.toStdString();
  }
  EXPECT_EQ(Text(kCtlPlay), "Play");
  EXPECT_EQ(FileDialogCancelText(), QStringLiteral("Cancel"));
  const std::string refused = RefusedRangeListMessage();
  EXPECT_NE(refused.find("Line 1 of the range list \"bad.csv\" cannot be read.\n"
                         "not start,end,label (sample frames)"),
            std::string::npos)
      << refused;
}

TEST_F(LanguageTest, JapaneseKeepsTheSourceTextsAndTranslatesQtsDialogs) {
  const std::vector<QString> untranslated = TextsOfEveryWindow();
  ui.asked.clear();
  const CUiTranslations japanese(UiLanguage::Japanese);
  ASSERT_TRUE(japanese.Complete()) << "qtbase_ja.qm of qt6-translations-l10n is missing";
  EXPECT_EQ(TextsOfEveryWindow(), untranslated);
  EXPECT_EQ(Text(kCtlPlay), "再生");
  EXPECT_EQ(FileDialogCancelText(), QStringLiteral("キャンセル"));
  // The range-list module's own message, English in the code, is Japanese too.
  const std::string refused = RefusedRangeListMessage();
  EXPECT_NE(refused.find("範囲リスト「bad.csv」の 1 行目を読み込めません。\n"
                         "「開始,終了,ラベル」(サンプル) の形ではありません"),
            std::string::npos)
      << refused;
}

// The language menu stores the choice at once, and closing the window (which
// rewrites the settings file) keeps it for the next start.
TEST_F(LanguageTest, LanguageMenuChoiceOutlivesTheWindow) {
  StartWithSong(5);
  auto* english = dlg->findChild<QAction*>(QStringLiteral("en"));
  ASSERT_NE(english, nullptr);
  english->trigger();
  EXPECT_EQ(LoadLanguageSetting(), LanguageSetting::English);
  dlg->reject();
  EXPECT_EQ(LoadLanguageSetting(), LanguageSetting::English);
  StartWithSong(5);
  EXPECT_TRUE(dlg->findChild<QAction*>(QStringLiteral("en"))->isChecked());
}

}  // namespace
}  // namespace snipora
