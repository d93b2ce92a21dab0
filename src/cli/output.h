#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kd::cli {

// Lets Excel and LibreOffice take a CSV file as UTF-8. Standard output gets none, so a pipe reads
// plain UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The bytes on standard output as they are (no CRLF translation on Windows); false when writing failed.
bool WriteStdout(std::string_view bytes);

// A file written over an image would destroy what may be the only copy of a key: true, after
// saying so, when a target is one of the images (the same file, by identity, not by name). Each
// file is looked at once, and the images only when a target exists: a batch names hundreds.
bool TargetsAKeyImage(const std::vector<std::filesystem::path>& targets, const std::vector<std::string>& images);

}  // namespace kd::cli
