#include "main_window.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "image/image_file.h"
#include "reports/user_texts.h"
#include "qt_path.h"
#include "skin_gauge.h"
#include "source_selector.h"

namespace kd {

namespace {

const QString kImageFilterName = QStringLiteral("Образ Key");
const QString kImageFilterPattern = QStringLiteral("*.512");
constexpr int kFirstOtherPort = 4;  // after "Файл" and "COM 1" to "COM 3"
constexpr int kOtherPortRole = Qt::UserRole + 1;  // marks "Другой порт..."

QPushButton* MakeButton(const QString& text, const char* name, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

MainWindow::MainWindow(KeySession& session, Dialogs& dialogs)
    : SkinnedWindow(QStringLiteral(" Дешифратор  v.7"), kClientSize),
      // The program's own folder where the user may write there; an installed program's is not.
      openImageDialog(FileDialog::Mode::Open, QStringLiteral(" Открытие файла ключа"), kImageFilterName,
                        kImageFilterPattern, {}, WritableFolderOrDocuments(QCoreApplication::applicationDirPath())),
      saveImageDialog(FileDialog::Mode::Save, QStringLiteral(" Сохранение файла ключа"), kImageFilterName,
                        kImageFilterPattern, QStringLiteral("*.512"),
                        WritableFolderOrDocuments(QCoreApplication::applicationDirPath())),
      session_(session),
      dialogs_(dialogs) {
  setObjectName("Form_Main");
  QWidget* client = Client();

  sourceLabel = new QLabel(QStringLiteral("Источник считывания:"), client);
  sourceLabel->setObjectName("bsSkinTextLabel1");
  sourceLabel->setGeometry(8, 16, 114, 21);

  sourceSelector = new SourceSelector(client);
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
  connect(sourceSelector, &QComboBox::activated, this, &MainWindow::SourceActivated);
  connect(sourceSelector, &SourceSelector::AboutToDropDown, this, &MainWindow::RefreshPorts);
  connect(sourceSelector, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0 && !sourceSelector->itemData(index, kOtherPortRole).toBool()) source_index_ = index;
  });
  connect(data1Button, &QPushButton::clicked, this, &MainWindow::ShowData1);
  connect(data2Button, &QPushButton::clicked, this, &MainWindow::ShowData2);
  connect(saveButton, &QPushButton::clicked, this, &MainWindow::SaveImage);

  SetOuterHeight(CompactHeight);
  CenterOnScreen();
  setAcceptDrops(true);
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
  } else if (index < kFirstOtherPort) {
    ReadFromReader(index);
  } else if (const QString port = sourceSelector->itemData(index).toString(); !port.isEmpty()) {
    reader_link_.ReadFromReader(session_, port);
  }
}

void MainWindow::SourceActivated(int index) {
  if (sourceSelector->itemData(index, kOtherPortRole).toBool()) AskForPort();
  SourceChanged();
}

void MainWindow::AskForPort() {
  const std::optional<QString> answer =
      dialogs_.InputBox(this, QStringLiteral("Другой порт"),
                        QStringLiteral("Имя или путь порта (например, COM7 или /dev/ttyUSB0):"), QString());
  const QString name = answer ? answer->trimmed() : QString();
  if (name.isEmpty()) {
    sourceSelector->setCurrentIndex(source_index_);
    return;
  }
  if (const int com = ComNumberOf(name); com != 0) {
    sourceSelector->setCurrentIndex(com);
    return;
  }
  const auto known = [&](const SerialPortEntry& port) { return port.name == name; };
  if (std::none_of(named_ports_.begin(), named_ports_.end(), known)) {
    named_ports_.push_back({PortText(name), name, QString()});
  }
  RefreshPorts();
  sourceSelector->setCurrentIndex(sourceSelector->findData(name));
}

void MainWindow::RefreshPorts() {
  const int current = sourceSelector->currentIndex();
  const QString chosen = current >= kFirstOtherPort ? sourceSelector->itemData(current).toString() : QString();
  std::vector<SerialPortEntry> ports;
  const auto add = [&](const SerialPortEntry& port) {
    const bool listed = std::any_of(ports.begin(), ports.end(), [&](const auto& p) { return p.name == port.name; });
    if (!listed && ComNumberOf(port.name) == 0) ports.push_back(port);
  };
  for (const SerialPortEntry& port : listSerialPorts()) add(port);
  for (const SerialPortEntry& port : named_ports_) add(port);
  if (!chosen.isEmpty()) add({sourceSelector->itemText(current), chosen, sourceSelector->itemData(current, Qt::ToolTipRole).toString()});

  const QSignalBlocker quiet(sourceSelector);
  while (sourceSelector->count() > kFirstOtherPort) sourceSelector->removeItem(kFirstOtherPort);
  for (const SerialPortEntry& port : ports) {
    sourceSelector->addItem(port.text, port.name);
    const QString tip = port.description.isEmpty() ? port.name : port.description + QStringLiteral("\n") + port.name;
    sourceSelector->setItemData(sourceSelector->count() - 1, tip, Qt::ToolTipRole);
  }
  sourceSelector->addItem(QStringLiteral("Другой порт..."));
  sourceSelector->setItemData(sourceSelector->count() - 1, true, kOtherPortRole);
  sourceSelector->setCurrentIndex(chosen.isEmpty() ? current : sourceSelector->findData(chosen));
  // The list may be wider than the narrow selector; its texts are not cut.
  int widest = 0;
  for (int i = 0; i < sourceSelector->count(); ++i) {
    widest = std::max(widest, sourceSelector->fontMetrics().horizontalAdvance(sourceSelector->itemText(i)));
  }
  sourceSelector->view()->setMinimumWidth(widest + 24);
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
  LoadFrom(openImageDialog.FileName());
}

void MainWindow::OpenImageFile(const QString& path) {
  if (reader_link_.Busy()) return;
  SetOuterHeight(CompactHeight);
  progressGauge->SetValue(0);
  LoadFrom(path);
}

void MainWindow::OpenImageFiles(const QStringList& paths) {
  if (paths.size() != 1) {
    dialogs_.ShowError(this, QString::fromUtf8(texts::kCannotOpenFile));
    return;
  }
  OpenImageFile(paths.constFirst());
}

void MainWindow::LoadFrom(const QString& path) {
  const Result<KeyImage> loaded = ReadImageFile(ToPath(path));
  if (!loaded) {
    dialogs_.ShowError(this, FileErrorText(texts::kCannotOpenFile, path, loaded.Reason()));
    return;
  }
  session_.Replace(*loaded, KeySource::File(ToPath(path).string()));
  RememberImageFile(path);
  progressGauge->SetValue(progressGauge->MaxValue());
  SetOuterHeight(FullHeight);
}

void MainWindow::RememberImageFile(const QString& path) {
  const QFileInfo file(path);
  openImageDialog.StartIn(file.absolutePath(), file.fileName());
  saveImageDialog.StartIn(file.absolutePath(), file.fileName());
}

void MainWindow::SaveImage() {
  // An image from a file is proposed back under its own name; one from the reader under none.
  const KeySource& source = session_.Source();
  if (source.kind == KeySource::Kind::kFile) {
    const QFileInfo file(QString::fromStdString(source.path));
    saveImageDialog.StartIn(file.absolutePath(), file.fileName());
  } else {
    saveImageDialog.StartIn(saveImageDialog.Request().folder, saveImageDialog.ProposedName());
  }
  if (!saveImageDialog.Execute(dialogs_, this)) return;
  if (IsSourceFile(session_, ToPath(saveImageDialog.FileName()))) {
    dialogs_.ShowError(this, FileErrorText(texts::kCannotCreateFile, saveImageDialog.FileName(), texts::kIsTheKeyImage));
    return;
  }
  if (!WriteImageFile(ToPath(saveImageDialog.FileName()), session_.Image())) {
    dialogs_.ShowError(this, QString::fromUtf8(texts::kCannotCreateFile));
    return;
  }
  RememberImageFile(saveImageDialog.FileName());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  QStringList paths;
  // A link that is no local file opens as no file at all, and is refused.
  for (const QUrl& url : event->mimeData()->urls()) paths << url.toLocalFile();
  event->acceptProposedAction();
  // After the drop: a message box inside it would hold the file manager that the file came from.
  QMetaObject::invokeMethod(this, [this, paths] { OpenImageFiles(paths); }, Qt::QueuedConnection);
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
