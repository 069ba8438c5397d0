#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui_services.h"

// IUiServices for tests: answers come from queues the test fills, and every
// question is recorded. An unexpected question fails the test and gets the
// answer that changes least (No, or a cancelled file dialog); nothing is
// thrown, since an exception cannot pass through Qt's event loop.
namespace snipora::test {

class ScriptedUi : public IUiServices {
 public:
  struct Asked {
    int stringId = 0;  // 0 for ShowText and file dialogs
    std::string text;  // ShowText text, or "open"/"save" for file dialogs
    MessageButtons buttons = MessageButtons::Ok;
    SaveFileRequest save;  // for "save"
  };

  std::deque<MessageAnswer> answers;             // for ShowMessage / ShowText
  std::deque<std::optional<std::string>> files;  // for AskOpenFile / AskSaveFile
  std::vector<Asked> asked;

  MessageAnswer ShowMessage(int stringId, MessageButtons buttons) override {
    asked.push_back({stringId, {}, buttons, {}});
    return NextAnswer(buttons);
  }
  MessageAnswer ShowText(const std::string& text, MessageButtons buttons) override {
    asked.push_back({0, text, buttons, {}});
    return NextAnswer(buttons);
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override {
    asked.push_back({0, "open", MessageButtons::Ok, {}});
    return NextFile();
  }
  std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override {
    asked.push_back({0, "save", MessageButtons::Ok, request});
    return NextFile();
  }

  // The string ids of the message boxes shown so far, in order.
  std::vector<int> MessageIds() const {
    std::vector<int> ids;
    for (const auto& a : asked) {
      if (a.stringId != 0) ids.push_back(a.stringId);
    }
    return ids;
  }

 private:
  MessageAnswer NextAnswer(MessageButtons buttons) {
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (answers.empty()) {
      ADD_FAILURE() << "unscripted Yes/No question " << asked.back().stringId << " "
                    << asked.back().text;
      return MessageAnswer::No;
    }
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> NextFile() {
    if (files.empty()) {
      ADD_FAILURE() << "unscripted file dialog";
      return std::nullopt;
    }
    auto file = files.front();
    files.pop_front();
    return file;
  }
};

}  // namespace snipora::test
