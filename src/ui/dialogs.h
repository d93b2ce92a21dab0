#pragma once

#include <QString>
#include <optional>
#include <string>

class QPrinter;
class QWidget;

namespace kd {

// A file error as the windows show it: what failed ("Не удается создать файл !"), the file, and
// why, each on its own line.
QString FileErrorText(const char* what, const QString& file, const std::string& reason);

// What a file dialog is asked to show.
struct FileDialogRequest {
  QString title;
  QString filter_name;     // "Образ Key"
  QString filter_pattern;  // "*.512"
  QString folder;          // the folder it opens in
  QString file_name;       // the name proposed in its name field
};

// Every modal interaction of the program goes through here, so that tests can script the answers.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal error box with a stop icon and one button "OK"; returns when the user closes it.
  virtual void ShowError(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Error")) = 0;
  // The path of an existing file the user chose, or nothing when cancelled.
  virtual std::optional<QString> OpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  // The path exactly as the user confirmed it (no extension added, no question about replacing),
  // never containing "*"; nothing when cancelled.
  virtual std::optional<QString> SaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  // A modal input box titled `caption` with one edit field of at most 255 characters, opening with
  // `text` fully selected: the text as the user left it on OK (possibly empty), nothing on Cancel.
  virtual std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                          const QString& text) = 0;
  // The system's print dialog on `printer`: true when the user chose to print, with the printer
  // set up as chosen. Dialogs that cannot print never do.
  virtual bool SetUpPrinter(QWidget* /*parent*/, QPrinter& /*printer*/) { return false; }
};

// The dialogs on real Qt widgets.
class QtDialogs final : public Dialogs {
 public:
  void ShowError(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                  const QString& text) override;
  bool SetUpPrinter(QWidget* parent, QPrinter& printer) override;
};

// The user's documents folder, or the home folder where there is none.
QString DocumentsFolder();

// `folder` when it can be written (by its permission bits too, which root would not be stopped
// by), else the documents folder: an installed program's own folder is no place for the user's files.
QString WritableFolderOrDocuments(const QString& folder);

// One file dialog of a window with its memory: it first opens in its starting folder (the
// program's own unless given) with its proposed name; after a confirmed choice, in that file's
// folder with that file's name.
class FileDialog {
 public:
  enum class Mode { Open, Save };

  FileDialog(Mode mode, QString title, QString filter_name, QString filter_pattern, QString proposed_name = {},
             QString start_folder = {});

  // Shows the dialog; true when the user confirmed a file, which FileName() then holds.
  bool Execute(Dialogs& dialogs, QWidget* parent);
  QString FileName() const { return file_name_; }
  FileDialogRequest Request() const;
  QString ProposedName() const { return proposed_name_; }
  // The next show opens in `folder` with `file_name` in its name field.
  void StartIn(const QString& folder, const QString& file_name);

 private:
  Mode mode_;
  QString title_;
  QString filter_name_;
  QString filter_pattern_;
  QString proposed_name_;
  QString start_folder_;
  QString file_name_;
  // Where the next show opens, and the name it proposes.
  QString next_folder_;
  QString next_name_;
};

}  // namespace kd
