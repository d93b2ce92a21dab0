#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include <QPrinter>

#include "ui/dialogs.h"

namespace kd::test {

// Dialogs that answer from a script and remember what they were asked.
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    QString caption;
    QString text;
    friend bool operator==(const Message&, const Message&) = default;
    friend void PrintTo(const Message& m, std::ostream* out) {
      *out << m.caption.toStdString() << ": " << m.text.toStdString();
    }
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
  // A print dialog's answer: the PDF file the printer writes to, or nothing for Cancel.
  std::deque<std::optional<QString>> print_answers;
  // The pages asked for, first and last; 0, 0: all of them.
  std::pair<int, int> print_pages{0, 0};
  int print_requests = 0;
  // Runs while a box is "open", to look at the program at that moment.
  std::function<void(const Message&)> on_message;

  void ShowError(QWidget*, const QString& text, const QString& caption) override {
    messages.push_back({caption, text});
    if (on_message) on_message(messages.back());
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

  bool SetUpPrinter(QWidget*, QPrinter& printer) override {
    ++print_requests;
    const std::optional<QString> file = Next(print_answers, "print");
    if (!file) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*file);
    if (print_pages.first > 0) {
      printer.setPrintRange(QPrinter::PageRange);
      printer.setFromTo(print_pages.first, print_pages.second);
    }
    return true;
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
