// Holds a serial port open until its standard input closes: the other program of the tests that
// need a port taken. Prints "held" once the port is open.
#include <QCoreApplication>
#include <QSerialPort>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  QSerialPort port(QString::fromLocal8Bit(argv[1]));
  if (!port.open(QIODevice::ReadWrite)) {
    std::puts("failed");
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  for (int c = std::getchar(); c != EOF; c = std::getchar()) {
  }
  return 0;
}
