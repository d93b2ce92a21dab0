#include "main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "image/image_file.h"
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

TForm_Main::TForm_Main(Dialogs& dialogs)
    : SkinnedWindow(QStringLiteral(" Дешифратор  v.7"), kClientSize),
      bsSkinOpenDialog1(FileDialog::Mode::Open, QStringLiteral(" Открытие файла ключа"), kImageFilterName,
                        kImageFilterPattern),
      bsSkinSaveDialog1(FileDialog::Mode::Save, QStringLiteral(" Сохранение файла ключа"), kImageFilterName,
                        kImageFilterPattern, QStringLiteral("*.512")),
      dialogs_(dialogs) {
  setObjectName("Form_Main");
  QWidget* client = Client();

  bsSkinTextLabel1 = new QLabel(QStringLiteral("Источник считывания:"), client);
  bsSkinTextLabel1->setObjectName("bsSkinTextLabel1");
  bsSkinTextLabel1->setGeometry(8, 16, 114, 21);

  bsSkinComboBox1 = new QComboBox(client);
  bsSkinComboBox1->setObjectName("bsSkinComboBox1");
  bsSkinComboBox1->setGeometry(128, 16, 73, 21);
  bsSkinComboBox1->setEditable(false);
  bsSkinComboBox1->addItems({QStringLiteral("Файл"), QStringLiteral("COM 1"), QStringLiteral("COM 2"),
                             QStringLiteral("COM 3")});
  bsSkinComboBox1->setCurrentIndex(0);
  bsSkinComboBox1->setToolTip(QStringLiteral("Выбор номера порта"));

  bsSkinButton1 = MakeButton(QStringLiteral("Считать"), "bsSkinButton1", {216, 16, 65, 25}, client);

  bsSkinGauge1 = new SkinGauge(client);
  bsSkinGauge1->setObjectName("bsSkinGauge1");
  bsSkinGauge1->setGeometry(8, 56, 273, 17);

  bsSkinButton2 = MakeButton(QStringLiteral("Данные 1"), "bsSkinButton2", {8, 88, 81, 25}, client);
  bsSkinButton3 = MakeButton(QStringLiteral("Данные 2"), "bsSkinButton3", {104, 88, 81, 25}, client);
  bsSkinButton4 = MakeButton(QStringLiteral("Сохранить"), "bsSkinButton4", {200, 88, 81, 25}, client);

  // The row 3 buttons stay reachable from the keyboard even while the window hides them.
  for (QWidget* w : std::initializer_list<QWidget*>{bsSkinComboBox1, bsSkinButton1, bsSkinButton2, bsSkinButton3,
                                                   bsSkinButton4}) {
    w->setFocusPolicy(Qt::StrongFocus);
  }
  setTabOrder(bsSkinComboBox1, bsSkinButton1);
  setTabOrder(bsSkinButton1, bsSkinButton2);
  setTabOrder(bsSkinButton2, bsSkinButton3);
  setTabOrder(bsSkinButton3, bsSkinButton4);
  bsSkinComboBox1->setFocus();

  connect(bsSkinButton1, &QPushButton::clicked, this, &TForm_Main::bsSkinButton1Click);
  connect(bsSkinComboBox1, &QComboBox::activated, this, &TForm_Main::bsSkinComboBox1Change);
  connect(bsSkinButton2, &QPushButton::clicked, this, &TForm_Main::bsSkinButton2Click);
  connect(bsSkinButton3, &QPushButton::clicked, this, &TForm_Main::bsSkinButton3Click);
  connect(bsSkinButton4, &QPushButton::clicked, this, &TForm_Main::bsSkinButton4Click);

  SetOuterHeight(CompactHeight);
  CenterOnScreen();
}

void TForm_Main::SetReportWindows(QWidget* data1, QWidget* data2) {
  form_dat1_ = data1;
  form_dat2_ = data2;
}

void TForm_Main::bsSkinButton1Click() {
  // While a read waits for its port to open, "Считать" is still enabled; a second read started
  // from that wait would leave the first one waiting for ever.
  if (Link.Busy()) return;
  SetOuterHeight(CompactHeight);
  bsSkinGauge1->SetValue(0);
  const int index = bsSkinComboBox1->currentIndex();
  if (index == 0) {
    LoadImageFile();
  } else {
    ReadFromReader(index);
  }
}

void TForm_Main::bsSkinComboBox1Change() {
  SetOuterHeight(CompactHeight);
  Link.CommPort1.SetOpen(false);
}

void TForm_Main::bsSkinButton2Click() { ShowReport(form_dat1_); }
void TForm_Main::bsSkinButton3Click() { ShowReport(form_dat2_); }
void TForm_Main::bsSkinButton4Click() { SaveImageFile(); }

void TForm_Main::ShowReport(QWidget* report) {
  if (report == nullptr) return;
  report->show();
  hide();
}

void TForm_Main::LoadImageFile() {
  if (!bsSkinOpenDialog1.Execute(dialogs_, this)) return;
  const Result<kd::KeyImage> loaded = ReadImageFile(ToPath(bsSkinOpenDialog1.FileName()));
  if (!loaded) {
    dialogs_.ShowError(this, QStringLiteral("Файл не удается открыть !"));
    return;
  }
  KeyImage = *loaded;
  bsSkinGauge1->SetValue(bsSkinGauge1->MaxValue());
  SetOuterHeight(FullHeight);
}

void TForm_Main::SaveImageFile() {
  if (!bsSkinSaveDialog1.Execute(dialogs_, this)) return;
  if (!WriteImageFile(ToPath(bsSkinSaveDialog1.FileName()), KeyImage)) {
    dialogs_.ShowError(this, QStringLiteral("Не удается создать файл !"));
  }
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  Link.Cancel();
  SkinnedWindow::closeEvent(event);
}

void TForm_Main::ReadFromReader(int port_number) { Link.ReadFromReader(KeyImage, port_number); }

void TForm_Main::ShowMessage(const QString& text) { dialogs_.ShowError(this, text); }

void TForm_Main::ShowPortError(const QString& text, const QString& caption) {
  dialogs_.ShowError(this, text, caption);
}

void TForm_Main::ShowStage(Stage stage) {
  SetOuterHeight(stage == Stage::kPaging ? ProgressHeight : FullHeight);
}

void TForm_Main::SetGaugeRange(int min, int max) {
  bsSkinGauge1->SetMinValue(min);
  bsSkinGauge1->SetMaxValue(max);
}

void TForm_Main::SetGaugeValue(int value) { bsSkinGauge1->SetValue(value); }

void TForm_Main::SetReadControlsEnabled(bool enabled) {
  bsSkinButton1->setEnabled(enabled);
  bsSkinComboBox1->setEnabled(enabled);
}

}  // namespace kd
