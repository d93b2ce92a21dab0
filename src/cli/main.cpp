// keydecoder-cli: the decoding and exports of keydecoder without a window.
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_read.h"
#include "messages.h"

namespace kd::cli {

namespace {

// Each subcommand lives in a file of its own.
const Command kCommands[] = {
    {"read", "keydecoder-cli read --port PORT --output IMAGE.512", RunRead},
    {"--version", "keydecoder-cli --version", [](const std::vector<std::string>&) {
       std::printf("keydecoder-cli %s\n", KD_VERSION);
       return int{kOk};
     }},
    kData1Command,
    kData2Command,
    kChartCommand,
    kSummaryCommand,
};

std::string Usage() {
  std::string text = "Использование:\n";
  for (const Command& command : kCommands) text += std::string("  ") + command.usage + "\n";
  text += "  keydecoder-cli --help\n";
  text +=
      "Код выхода: 0 успех; 1 образ не принят или ошибка УСИ; 2 неверный вызов; 3 файл не прочитан или не записан.\n";
  return text;
}

}  // namespace

int UsageError(const std::string& message) {
  Say(message);
  std::fputs(Usage().c_str(), stderr);
  return kUsage;
}

}  // namespace kd::cli

int main(int argc, char** argv) {
  using namespace kd::cli;
  if (argc < 2) return UsageError("не задана команда");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    std::fputs(Usage().c_str(), stdout);
    return kOk;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (name == command.name) return command.run(args);
  }
  return UsageError("неизвестная команда " + name);
}
