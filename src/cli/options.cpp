#include "options.h"

#include <algorithm>
#include <optional>

namespace kd::cli {

std::variant<ParsedArguments, std::string> ParseArguments(const std::vector<std::string>& args,
                                                          const std::vector<std::string>& option_names) {
  ParsedArguments parsed;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (std::find(option_names.begin(), option_names.end(), name) == option_names.end()) {
      return "неизвестный параметр " + name;
    }
    if (parsed.values.contains(name)) return "параметр " + name + " задан дважды";
    if (!value) {
      if (i + 1 == args.size()) return "параметру " + name + " нужно значение";
      value = args[++i];
    }
    parsed.values[name] = *value;
  }
  return parsed;
}

}  // namespace kd::cli
