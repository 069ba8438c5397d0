#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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
    int stringId = 0;  // 0 for texts, choices and file dialogs
    std::string text;  // ShowText text, the question, or "open"/"save"/"folder" for dialogs
    MessageButtons buttons = MessageButtons::Ok;
    SaveFileRequest save;              // for "save"
    std::string initialFolder;         // for "open", "save" and "folder"
    std::vector<std::string> choices;  // for AskChoice
  };

  std::deque<MessageAnswer> answers;  // for ShowMessage / ShowText
  std::deque<size_t> choices;         // for AskChoice: the index of the button pressed
  // For AskOpenFile / AskSaveFile / AskFolder, in the order they are asked.
  std::deque<std::optional<std::string>> files;
  std::deque<int> saveFilters;  // the filter entry each save dialog is left with (else 0)
  std::vector<Asked> asked;
  // Translates marked texts as the real services do; none: the texts themselves.
  std::function<std::string(const char*)> translate;

  MessageAnswer ShowMessage(int stringId, MessageButtons buttons) override {
    Record(stringId, {}, buttons);
    return NextAnswer(buttons);
  }
  MessageAnswer ShowText(const std::string& text, MessageButtons buttons) override {
    Record(0, text, buttons);
    return NextAnswer(buttons);
  }
  size_t AskChoice(const std::string& question, const std::vector<std::string>& offered) override {
    Record(0, question).choices = offered;
    if (choices.empty()) {
      ADD_FAILURE() << "unscripted question " << question;
      return offered.empty() ? 0 : offered.size() - 1;
    }
    const size_t choice = choices.front();
    choices.pop_front();
    return choice;
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override {
    Record(0, "open").initialFolder = request.initialFolder;
    return NextFile();
  }
  std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest& request) override {
    Record(0, "save").save = request;
    asked.back().initialFolder = request.initialFolder;
    const std::optional<std::string> path = NextFile();
    int filter = 0;
    if (!saveFilters.empty()) {
      filter = saveFilters.front();
      saveFilters.pop_front();
    }
    if (!path) return std::nullopt;
    return SaveFileAnswer{*path, filter};
  }
  std::string Translated(const char* text) const override {
    return translate ? translate(text) : std::string(text);
  }
  std::optional<std::string> AskFolder(const std::string& initialFolder) override {
    Record(0, "folder").initialFolder = initialFolder;
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
  Asked& Record(int stringId, const std::string& text,
                MessageButtons buttons = MessageButtons::Ok) {
    Asked& question = asked.emplace_back();
    question.stringId = stringId;
    question.text = text;
    question.buttons = buttons;
    return question;
  }
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
