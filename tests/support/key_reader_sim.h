#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>

#include "image/header.h"
#include "image/key_image.h"
#include "support/temp_dir.h"

namespace kd::test {

// A key whose every byte tells its offset apart from its neighbours', with the signature and the
// given BlockCount.
inline KeyImage ServedKey(std::uint16_t block_count) {
  KeyImage key{};
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  key[0] = header::kSignatureFirst;
  key[1] = header::kSignatureSecond;
  key[header::kBlockCount] = static_cast<std::uint8_t>(block_count & 0xFF);
  key[header::kBlockCount + 1] = static_cast<std::uint8_t>(block_count >> 8);
  return key;
}

// What the image held before a read: every byte differs from the served key's.
inline KeyImage Older(const KeyImage& served) {
  KeyImage older{};
  for (std::size_t i = 0; i < older.size(); ++i) older[i] = static_cast<std::uint8_t>(~served[i]);
  return older;
}

// The served key's first `count` bytes, then the older ones.
inline KeyImage Mixture(const KeyImage& served, const KeyImage& older, std::size_t count) {
  KeyImage mixed = older;
  std::copy(served.begin(), served.begin() + static_cast<std::ptrdiff_t>(count), mixed.begin());
  return mixed;
}

// keyreader-sim serving a key on a fresh pseudo-terminal for the length of a test.
class KeyReaderSim {
 public:
  KeyReaderSim(const KeyImage& key, QStringList options) {
    const std::filesystem::path image = dir_ / "served.512";
    WriteBytes(image, {key.begin(), key.end()});
    options << QString::fromStdString(image.string());
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(QStringLiteral(KD_KEYREADER_SIM), options);
    while (process_.state() != QProcess::NotRunning && !process_.canReadLine()) process_.waitForReadyRead(5000);
    path_ = QString::fromUtf8(process_.readLine()).trimmed();
    EXPECT_FALSE(path_.isEmpty()) << "keyreader-sim did not start";
  }
  ~KeyReaderSim() { Close(); }
  KeyReaderSim(const KeyReaderSim&) = delete;
  KeyReaderSim& operator=(const KeyReaderSim&) = delete;

  // The pseudo-terminal the program opens as its serial port.
  const QString& Path() const { return path_; }

  // Ends the simulator at once: the line's far end goes away, as when a USB adapter is pulled.
  void Close() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
  }

 private:
  TempDir dir_;
  QProcess process_;
  QString path_;
};

}  // namespace kd::test
