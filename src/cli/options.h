#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kd::cli {

struct ParsedArguments {
  // The arguments that are not options, in order.
  std::vector<std::string> operands;
  // Each option given, by name ("--output"), with its value.
  std::map<std::string, std::string> values;
};

// Splits the arguments of a command whose options each take one value, as "--name VALUE" or
// "--name=VALUE"; after "--" everything is an operand. The parsed arguments, or the usage message.
std::variant<ParsedArguments, std::string> ParseArguments(const std::vector<std::string>& args,
                                                          const std::vector<std::string>& option_names);

}  // namespace kd::cli
