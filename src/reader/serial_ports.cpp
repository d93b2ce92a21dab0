#include "serial_ports.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include "comm_port.h"

namespace kd {

std::vector<SerialPortEntry> SystemSerialPorts() {
  std::vector<SerialPortEntry> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
    const QString name = info.portName();
#else
    const QString name = info.systemLocation();
#endif
    ports.push_back({PortText(info.portName()), name, info.description()});
  }
  return ports;
}

QString PortText(const QString& port_name) {
  static const QRegularExpression com(QStringLiteral("^COM(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = com.match(port_name);
  return match.hasMatch() ? QStringLiteral("COM ") + match.captured(1) : port_name;
}

int ComNumberOf(const QString& port_name) {
  for (int number = 1; number <= 3; ++number) {
#ifdef Q_OS_WIN
    if (port_name.compare(ComPortName(number), Qt::CaseInsensitive) == 0) return number;
#else
    if (port_name == ComPortName(number)) return number;
#endif
  }
  return 0;
}

}  // namespace kd
