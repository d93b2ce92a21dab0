#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

namespace kd {

// A path the user chose, in the form the plain C++ code takes.
inline std::filesystem::path ToPath(const QString& name) {
#ifdef _WIN32
  return std::filesystem::path(name.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

}  // namespace kd
