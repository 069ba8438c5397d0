#pragma once

#include <optional>
#include <string>

// Message boxes and file dialogs, behind one interface so that engines can ask
// questions without a toolkit and tests can script the answers. The Qt
// implementation lives with the main window. Literal texts and filters given
// here are marked for translation (platform/ui/ui_text.h); the implementation
// shows them in the interface's language.
namespace snipora {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct OpenFileRequest {
  std::string filter;  // "label|patterns|label|patterns||", first entry selected
};

struct SaveFileRequest {
  std::string filter;         // same form as OpenFileRequest::filter
  std::string initialName;    // proposed file name, may be empty
  std::string initialFolder;  // the folder the dialog starts in, "" for the current one
  std::string defaultSuffix;  // added to a typed name that has no suffix ("wav"), may be empty
  bool overwritePrompt = true;
};

class IUiServices {
 public:
  virtual ~IUiServices() = default;

  // Shows string-table message `stringId` (101-109) and returns the answer.
  virtual MessageAnswer ShowMessage(int stringId, MessageButtons buttons) = 0;

  // Shows a literal text (messages that are not in the string table).
  virtual MessageAnswer ShowText(const std::string& text, MessageButtons buttons) = 0;

  // Asks for an existing file; nullopt when cancelled. On success the full path.
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;

  // Asks for a file to write; nullopt when cancelled. On success the full path.
  virtual std::optional<std::string> AskSaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace snipora
