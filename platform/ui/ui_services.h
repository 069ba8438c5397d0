#pragma once

#include <optional>
#include <string>
#include <vector>

// Message boxes and file dialogs, behind one interface so that engines can ask
// questions without a toolkit and tests can script the answers. The Qt
// implementation lives with the main window. Literal texts and filters given
// here are marked for translation (platform/ui/ui_text.h); the implementation
// shows them in the interface's language.
namespace snipora {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct OpenFileRequest {
  std::string filter;         // "label|patterns|label|patterns||", first entry selected
  std::string initialFolder;  // the folder the dialog starts in, "" for the current one
};

struct SaveFileRequest {
  std::string filter;         // same form as OpenFileRequest::filter
  std::string initialName;    // proposed file name, may be empty
  std::string initialFolder;  // the folder the dialog starts in, "" for the current one
  std::string defaultSuffix;  // added to a typed name that has no suffix ("wav"), may be empty;
                              // a filter entry of its own ("*.cue") replaces it while chosen
  bool overwritePrompt = true;
};

// The file a save dialog was left with and the filter entry chosen in it.
struct SaveFileAnswer {
  std::string path;  // full path
  int filter = 0;    // index of the entry in SaveFileRequest::filter
};

class IUiServices {
 public:
  virtual ~IUiServices() = default;

  // Shows string-table message `stringId` (101-109) and returns the answer.
  virtual MessageAnswer ShowMessage(int stringId, MessageButtons buttons) = 0;

  // Shows a literal text (messages that are not in the string table).
  virtual MessageAnswer ShowText(const std::string& text, MessageButtons buttons) = 0;

  // Asks `question` with one button per choice (in that order; '&' marks a
  // button's access key) and returns the index of the one pressed. Escape
  // and the close box choose the last, which must change nothing.
  virtual size_t AskChoice(const std::string& question,
                           const std::vector<std::string>& choices) = 0;

  // Asks for an existing file; nullopt when cancelled. On success the full path.
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;

  // Asks for a file to write; nullopt when cancelled.
  virtual std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest& request) = 0;

  // Asks for an existing folder, starting in `initialFolder`; nullopt when cancelled.
  virtual std::optional<std::string> AskFolder(const std::string& initialFolder) = 0;

  // A text marked for translation (ui_text.h) in the interface's language,
  // for messages composed from it. Without a translation: the text itself.
  virtual std::string Translated(const char* text) const { return text; }
};

// `text` with %1, %2 ... replaced by args[0], args[1] ... in one pass, so a
// '%' inside an argument (a file name) is never taken for a placeholder.
inline std::string FilledText(const std::string& text, const std::vector<std::string>& args) {
  std::string filled;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t index = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : args.size();
    if (text[i] == '%' && index < args.size() && index < 9) {
      filled += args[index];
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

}  // namespace snipora
