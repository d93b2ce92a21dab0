#pragma once

#include "image/key_image.h"
#include "reader/reader_link.h"
#include "dialogs.h"
#include "skinned_window.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kd {

class SkinGauge;

// The entry window: chooses where the key comes from, reads it into the image, opens the two
// reports and saves the image. It grows by a row with each stage of an acquisition.
class TForm_Main : public SkinnedWindow, private ReaderLinkHost {
  Q_OBJECT
 public:
  static constexpr int CompactHeight = 84;    // the selector row alone
  static constexpr int ProgressHeight = 117;  // with the gauge
  static constexpr int FullHeight = 159;      // with the report and save buttons
  static constexpr QSize kClientSize{290, 129};

  explicit TForm_Main(Dialogs& dialogs);

  // The windows that "Данные 1" and "Данные 2" open; they are created after this one.
  void SetReportWindows(QWidget* data1, QWidget* data2);

  // The key's memory as last read; zero at start-up.
  kd::KeyImage KeyImage{};

  QLabel* bsSkinTextLabel1;
  QComboBox* bsSkinComboBox1;
  QPushButton* bsSkinButton1;  // "Считать"
  SkinGauge* bsSkinGauge1;
  QPushButton* bsSkinButton2;  // "Данные 1"
  QPushButton* bsSkinButton3;  // "Данные 2"
  QPushButton* bsSkinButton4;  // "Сохранить"
  FileDialog bsSkinOpenDialog1;
  FileDialog bsSkinSaveDialog1;
  // The key reader on "COM 1" to "COM 3": its serial port, time-out timer and wait state.
  ReaderLink Link{static_cast<ReaderLinkHost&>(*this)};

 public Q_SLOTS:
  void bsSkinButton1Click();
  void bsSkinComboBox1Change();
  void bsSkinButton2Click();
  void bsSkinButton3Click();
  void bsSkinButton4Click();

 protected:
  // Closing the window ends the program: a read that is waiting for the reader ends with it.
  void closeEvent(QCloseEvent* event) override;

 private:
  void LoadImageFile();
  void SaveImageFile();
  void ReadFromReader(int port_number);
  void ShowReport(QWidget* report);

  // What the reader link shows, on this window.
  void ShowMessage(const QString& text) override;
  void ShowPortError(const QString& text, const QString& caption) override;
  void ShowStage(Stage stage) override;
  void SetGaugeRange(int min, int max) override;
  void SetGaugeValue(int value) override;
  void SetReadControlsEnabled(bool enabled) override;

  Dialogs& dialogs_;
  QWidget* form_dat1_ = nullptr;
  QWidget* form_dat2_ = nullptr;
};

}  // namespace kd
