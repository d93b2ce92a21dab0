#include "output.h"

#include <cstdio>
#include <map>
#include <optional>

#include "io/file_checks.h"
#include "messages.h"
#include "reports/user_texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace kd::cli {

bool WriteStdout(std::string_view bytes) {
#ifdef _WIN32
  // Our texts have their own CRLF line ends; text mode would double the CR.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

bool TargetsAKeyImage(const std::vector<std::filesystem::path>& targets, const std::vector<std::string>& images) {
  std::map<FileIdentity, const std::filesystem::path*> existing;
  for (const std::filesystem::path& target : targets) {
    if (const std::optional<FileIdentity> id = IdentifyFile(target)) existing.emplace(*id, &target);
  }
  if (existing.empty()) return false;
  for (const std::string& image : images) {
    const std::optional<FileIdentity> id = IdentifyFile(image);
    if (const auto target = id ? existing.find(*id) : existing.end(); target != existing.end()) {
      ComplainFile(target->second->string(), texts::kCannotCreateFile, std::string(texts::kIsTheKeyImage) + " " + image);
      return true;
    }
  }
  return false;
}

}  // namespace kd::cli
