#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace kd {

// A serial port as the source selector offers it.
struct SerialPortEntry {
  QString text;         // what the selector shows: "COM 7", "ttyUSB0"
  QString name;         // what the port is opened by: "COM7", "/dev/ttyUSB0"
  QString description;  // the system's description of the device, for a tooltip
};

// Lists serial ports; the system's by default, anything in tests.
using SerialPortLister = std::function<std::vector<SerialPortEntry>()>;

// Every serial port the system reports, in its own naming.
std::vector<SerialPortEntry> SystemSerialPorts();

// How the selector shows a port name: "COM7" as "COM 7" like "COM 1", any other as it is.
QString PortText(const QString& port_name);

// 1 to 3 when `port_name` is the port that "COM 1" to "COM 3" open, else 0.
int ComNumberOf(const QString& port_name);

}  // namespace kd
