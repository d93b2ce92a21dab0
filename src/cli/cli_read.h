#pragma once

#include <string>
#include <vector>

namespace kd::cli {

// keydecoder-cli read --port PORT --output IMAGE.512
int RunRead(const std::vector<std::string>& args);

}  // namespace kd::cli
