#include "main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "image/image_file.h"
#include "reports/user_texts.h"
#include "qt_path.h"
#include "skin_gauge.h"

namespace kd {

namespace {

const QString kImageFilterName = QStringLiteral("Образ Key");
const QString kImageFilterPattern = QStringLiteral("*.512");

QPushButton* MakeButton(const QString& text, const char* name, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

MainWindow::MainWindow(KeySession& session, Dialogs& dialogs)
    : SkinnedWindow(QStringLiteral(" Дешифратор  v.7"), kClientSize),
      openImageDialog(FileDialog::Mode::Open, QStringLiteral(" Открытие файла ключа"), kImageFilterName,
                        kImageFilterPattern),
      saveImageDialog(FileDialog::Mode::Save, QStringLiteral(" Сохранение файла ключа"), kImageFilterName,
                        kImageFilterPattern, QStringLiteral("*.512")),
      session_(session),
      dialogs_(dialogs) {
  setObjectName("Form_Main");
  QWidget* client = Client();

  sourceLabel = new QLabel(QStringLiteral("Источник считывания:"), client);
  sourceLabel->setObjectName("bsSkinTextLabel1");
  sourceLabel->setGeometry(8, 16, 114, 21);

  sourceSelector = new QComboBox(client);
  sourceSelector->setObjectName("bsSkinComboBox1");
  sourceSelector->setGeometry(128, 16, 73, 21);
  sourceSelector->setEditable(false);
  sourceSelector->addItems({QStringLiteral("Файл"), QStringLiteral("COM 1"), QStringLiteral("COM 2"),
                             QStringLiteral("COM 3")});
  sourceSelector->setCurrentIndex(0);
  sourceSelector->setToolTip(QStringLiteral("Выбор номера порта"));

  readButton = MakeButton(QStringLiteral("Считать"), "bsSkinButton1", {216, 16, 65, 25}, client);

  progressGauge = new SkinGauge(client);
  progressGauge->setObjectName("bsSkinGauge1");
  progressGauge->setGeometry(8, 56, 273, 17);

  data1Button = MakeButton(QStringLiteral("Данные 1"), "bsSkinButton2", {8, 88, 81, 25}, client);
  data2Button = MakeButton(QStringLiteral("Данные 2"), "bsSkinButton3", {104, 88, 81, 25}, client);
  saveButton = MakeButton(QStringLiteral("Сохранить"), "bsSkinButton4", {200, 88, 81, 25}, client);

  // The row 3 buttons stay reachable from the keyboard even while the window hides them.
  for (QWidget* w : std::initializer_list<QWidget*>{sourceSelector, readButton, data1Button, data2Button,
                                                   saveButton}) {
    w->setFocusPolicy(Qt::StrongFocus);
  }
  setTabOrder(sourceSelector, readButton);
  setTabOrder(readButton, data1Button);
  setTabOrder(data1Button, data2Button);
  setTabOrder(data2Button, saveButton);
  sourceSelector->setFocus();

  connect(readButton, &QPushButton::clicked, this, &MainWindow::ReadKey);
  connect(sourceSelector, &QComboBox::activated, this, &MainWindow::SourceChanged);
  connect(data1Button, &QPushButton::clicked, this, &MainWindow::ShowData1);
  connect(data2Button, &QPushButton::clicked, this, &MainWindow::ShowData2);
  connect(saveButton, &QPushButton::clicked, this, &MainWindow::SaveImage);

  SetOuterHeight(CompactHeight);
  CenterOnScreen();
}

void MainWindow::SetReportWindows(QWidget* data1, QWidget* data2) {
  data1_window_ = data1;
  data2_window_ = data2;
}

void MainWindow::ReadKey() {
  // While a read waits for its port to open, "Считать" is still enabled; a second read started
  // from that wait would leave the first one waiting for ever.
  if (reader_link_.Busy()) return;
  SetOuterHeight(CompactHeight);
  progressGauge->SetValue(0);
  const int index = sourceSelector->currentIndex();
  if (index == 0) {
    LoadImageFile();
  } else {
    ReadFromReader(index);
  }
}

void MainWindow::SourceChanged() {
  SetOuterHeight(CompactHeight);
  reader_link_.Port().SetOpen(false);
}

void MainWindow::ShowData1() { ShowReport(data1_window_); }
void MainWindow::ShowData2() { ShowReport(data2_window_); }
void MainWindow::ShowReport(QWidget* report) {
  if (report == nullptr) return;
  report->show();
  hide();
}

void MainWindow::LoadImageFile() {
  if (!openImageDialog.Execute(dialogs_, this)) return;
  const Result<KeyImage> loaded = ReadImageFile(ToPath(openImageDialog.FileName()));
  if (!loaded) {
    dialogs_.ShowError(this, QStringLiteral("%1\n%2\n%3")
                                 .arg(QString::fromUtf8(texts::kCannotOpenFile), openImageDialog.FileName(),
                                      QString::fromStdString(loaded.Reason())));
    return;
  }
  session_.Replace(*loaded, KeySource::File(ToPath(openImageDialog.FileName()).string()));
  progressGauge->SetValue(progressGauge->MaxValue());
  SetOuterHeight(FullHeight);
}

void MainWindow::SaveImage() {
  if (!saveImageDialog.Execute(dialogs_, this)) return;
  if (IsSourceFile(session_, ToPath(saveImageDialog.FileName()))) {
    dialogs_.ShowError(this, QStringLiteral("%1\n%2\n%3")
                                 .arg(QString::fromUtf8(texts::kCannotCreateFile), saveImageDialog.FileName(),
                                      QString::fromUtf8(texts::kIsTheKeyImage)));
    return;
  }
  if (!WriteImageFile(ToPath(saveImageDialog.FileName()), session_.Image())) {
    dialogs_.ShowError(this, QString::fromUtf8(texts::kCannotCreateFile));
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  reader_link_.Cancel();
  SkinnedWindow::closeEvent(event);
}

void MainWindow::ReadFromReader(int port_number) { reader_link_.ReadFromReader(session_, port_number); }

void MainWindow::ShowMessage(const QString& text) { dialogs_.ShowError(this, text); }

void MainWindow::ShowPortError(const QString& text, const QString& caption) {
  dialogs_.ShowError(this, text, caption);
}

void MainWindow::ShowStage(Stage stage) {
  SetOuterHeight(stage == Stage::kPaging ? ProgressHeight : FullHeight);
}

void MainWindow::SetGaugeRange(int min, int max) {
  progressGauge->SetMinValue(min);
  progressGauge->SetMaxValue(max);
}

void MainWindow::SetGaugeValue(int value) { progressGauge->SetValue(value); }

void MainWindow::SetReadControlsEnabled(bool enabled) {
  readButton->setEnabled(enabled);
  sourceSelector->setEnabled(enabled);
}

}  // namespace kd
