#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace kd::test {

struct CommandResult {
  int status;
  std::string output;  // standard output and standard error together
};

// Runs a shell command and collects what it prints.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult result{-1, {}};
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
  const int status = ::pclose(pipe);
#ifdef _WIN32
  result.status = status;  // the command's exit code itself
#else
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return result;
}

inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace kd::test
