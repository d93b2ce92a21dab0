#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kd {

// A compound file (the container of Office 97-2003 documents) holding one stream in its root
// storage. Version 3, 512-byte sectors; the stream is padded to 4,096 bytes so that it never
// needs the mini stream. Nothing when the stream is too large for a file without extra
// allocation-table index sectors (about 7 MB).
std::optional<std::string> WriteCompoundFile(std::string_view stream_name, std::string_view stream);

}  // namespace kd
