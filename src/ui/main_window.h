#pragma once

#include "image/key_session.h"
#include "reader/reader_link.h"
#include "reader/serial_ports.h"
#include "dialogs.h"
#include "skinned_window.h"
#include "source_selector.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kd {

class SkinGauge;

// The entry window: chooses where the key comes from, reads it into the session's image, opens
// the two reports and saves the image. It grows by a row with each stage of an acquisition.
class MainWindow : public SkinnedWindow, private ReaderLinkHost {
  Q_OBJECT
 public:
  static constexpr int CompactHeight = 84;    // the selector row alone
  static constexpr int ProgressHeight = 117;  // with the gauge
  static constexpr int FullHeight = 159;      // with the report and save buttons
  static constexpr QSize kClientSize{290, 129};

  MainWindow(KeySession& session, Dialogs& dialogs);

  // The windows that "Данные 1" and "Данные 2" open; they are created after this one.
  void SetReportWindows(QWidget* data1, QWidget* data2);

  // The key reader on "COM 1" to "COM 3".
  ReaderLink& Link() { return reader_link_; }

  // Opens an image file exactly as "Файл" and "Считать" do once the dialog has named it.
  void OpenImageFile(const QString& path);
  // Files handed over from outside (the command line, a drop): exactly one file is opened, more
  // are refused as a file that cannot be opened.
  void OpenImageFiles(const QStringList& paths);

  QLabel* sourceLabel;         // "bsSkinTextLabel1"
  // "bsSkinComboBox1": "Файл", "COM 1" to "COM 3"; once dropped down, the other ports and
  // "Другой порт...".
  SourceSelector* sourceSelector;
  QPushButton* readButton;     // "bsSkinButton1": "Считать"
  SkinGauge* progressGauge;    // "bsSkinGauge1"
  QPushButton* data1Button;    // "bsSkinButton2": "Данные 1"
  QPushButton* data2Button;    // "bsSkinButton3": "Данные 2"
  QPushButton* saveButton;     // "bsSkinButton4": "Сохранить"
  FileDialog openImageDialog;  // "bsSkinOpenDialog1"
  FileDialog saveImageDialog;  // "bsSkinSaveDialog1"

  // Where the selector's list of ports beyond COM 1 to COM 3 comes from.
  SerialPortLister listSerialPorts = SystemSerialPorts;
  // Brings the ports after "COM 3" up to date: the system's, then those the user named; the one
  // chosen stays even when the system no longer reports it. "Другой порт..." comes last.
  void RefreshPorts();

 public Q_SLOTS:
  // Loads the key from a file or reads it through the chosen port.
  void ReadKey();
  void SourceChanged();
  void ShowData1();
  void ShowData2();
  void SaveImage();

 protected:
  // Closing the window ends the program: a read that is waiting for the reader ends with it.
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SourceActivated(int index);
  // "Другой порт...": asks for a port name and chooses it, or goes back to the previous choice.
  void AskForPort();
  void LoadImageFile();
  void LoadFrom(const QString& path);
  // The next image dialogs, open and save, start beside this file.
  void RememberImageFile(const QString& path);
  void ReadFromReader(int port_number);
  void ShowReport(QWidget* report);

  // What the reader link shows, on this window.
  void ShowMessage(const QString& text) override;
  void ShowPortError(const QString& text, const QString& caption) override;
  void ShowStage(Stage stage) override;
  void SetGaugeRange(int min, int max) override;
  void SetGaugeValue(int value) override;
  void SetReadControlsEnabled(bool enabled) override;

  KeySession& session_;
  Dialogs& dialogs_;
  ReaderLink reader_link_{static_cast<ReaderLinkHost&>(*this)};
  QWidget* data1_window_ = nullptr;
  QWidget* data2_window_ = nullptr;
  // The ports the user named through "Другой порт...", kept until the program ends.
  std::vector<SerialPortEntry> named_ports_;
  // The selector's last choice that was a source, to go back to from "Другой порт...".
  int source_index_ = 0;
};

}  // namespace kd
