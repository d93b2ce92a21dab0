#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "widgets/dialogs.h"

namespace kd::test {

// Dialogs that answer from a script and remember what they were asked.
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    QString caption;
    QString text;
  };

  struct InputRequest {
    QString caption;
    QString prompt;
    QString text;
  };

  std::deque<std::optional<QString>> open_answers;
  std::deque<std::optional<QString>> save_answers;
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  std::vector<Message> messages;
  std::deque<std::optional<QString>> input_answers;  // nothing: Cancel
  std::vector<InputRequest> input_requests;

  void ShowError(QWidget*, const QString& text, const QString& caption) override {
    messages.push_back({caption, text});
  }
  std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest& request) override {
    open_requests.push_back(request);
    return Next(open_answers, "open");
  }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
    save_requests.push_back(request);
    return Next(save_answers, "save");
  }

  std::optional<QString> InputBox(QWidget*, const QString& caption, const QString& prompt,
                                  const QString& text) override {
    input_requests.push_back({caption, prompt, text});
    return Next(input_answers, "input");
  }

  // The texts shown so far, and forget them.
  std::vector<QString> TakeTexts() {
    std::vector<QString> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    messages.clear();
    return texts;
  }

 private:
  static std::optional<QString> Next(std::deque<std::optional<QString>>& answers, const char* which) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << which << " dialog";
      return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace kd::test
