#pragma once

#include <string>
#include <vector>

namespace kd::cli {

// Exit statuses of keydecoder-cli.
enum Exit : int {
  kOk = 0,
  kRefused = 1,  // the image was refused or the reader failed
  kUsage = 2,    // wrong usage
  kFileError = 3,  // a file could not be read or written
};

// One subcommand: its name, its usage lines for --help, and what runs it with the arguments that
// follow its name.
struct Command {
  const char* name;
  const char* usage;
  int (*run)(const std::vector<std::string>& args);
};

// The subcommands that live in files of their own.
extern const Command kData1Command;
extern const Command kData2Command;
extern const Command kChartCommand;
extern const Command kSummaryCommand;

// Prints the message and the usage to standard error; returns kUsage.
int UsageError(const std::string& message);

}  // namespace kd::cli
