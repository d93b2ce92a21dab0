#include "dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

#include "input_box.h"

namespace kd {

QString FileErrorText(const char* what, const QString& file, const std::string& reason) {
  return QStringLiteral("%1\n%2\n%3").arg(QString::fromUtf8(what), file, QString::fromStdString(reason));
}

namespace {

void Prepare(QFileDialog& dialog, const FileDialogRequest& request) {
  // Qt's own dialog, so that it wears the program's skin on every platform.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Qt's catalogue says "Перейти к:"; Russian Windows says "Папка:", as users know it.
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
  // A description that already shows its pattern is not given it twice.
  const QString shown = QStringLiteral("(%1)").arg(request.filter_pattern);
  dialog.setNameFilter(request.filter_name.endsWith(shown)
                           ? request.filter_name
                           : QStringLiteral("%1 %2").arg(request.filter_name, shown));
  dialog.setDirectory(request.folder);
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
}

}  // namespace

bool QtDialogs::SetUpPrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("Печать"));
  dialog.setOption(QAbstractPrintDialog::PrintToFile);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange);
  return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::ShowError(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

std::optional<QString> QtDialogs::OpenFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  Prepare(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::SaveFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  Prepare(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(QString());
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    // A pattern is not a file name: ask again, as for the proposed "*.512".
    if (!QFileInfo(chosen).fileName().contains(QLatin1Char('*'))) return chosen;
  }
}

std::optional<QString> QtDialogs::InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& text) {
  kd::InputBox box(parent, caption, prompt, text);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.Text();
}

QString DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).exists() ? documents : QDir::homePath();
}

QString WritableFolderOrDocuments(const QString& folder) {
  const QFileInfo info(folder);
  const auto write_bits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
  if (info.isDir() && info.isWritable() && (info.permissions() & write_bits)) return folder;
  return DocumentsFolder();
}

FileDialog::FileDialog(Mode mode, QString title, QString filter_name, QString filter_pattern, QString proposed_name,
                       QString start_folder)
    : mode_(mode),
      title_(std::move(title)),
      filter_name_(std::move(filter_name)),
      filter_pattern_(std::move(filter_pattern)),
      proposed_name_(std::move(proposed_name)),
      start_folder_(std::move(start_folder)),
      next_folder_(start_folder_.isEmpty() ? QCoreApplication::applicationDirPath() : start_folder_),
      next_name_(proposed_name_) {}

FileDialogRequest FileDialog::Request() const {
  return {title_, filter_name_, filter_pattern_, next_folder_, next_name_};
}

void FileDialog::StartIn(const QString& folder, const QString& file_name) {
  next_folder_ = folder;
  next_name_ = file_name;
}

bool FileDialog::Execute(Dialogs& dialogs, QWidget* parent) {
  const FileDialogRequest request = Request();
  const std::optional<QString> chosen =
      mode_ == Mode::Open ? dialogs.OpenFileName(parent, request) : dialogs.SaveFileName(parent, request);
  if (!chosen) return false;
  file_name_ = *chosen;
  const QFileInfo last(file_name_);
  StartIn(last.absolutePath(), last.fileName());
  return true;
}

}  // namespace kd
