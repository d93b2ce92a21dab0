#include "messages.h"

#include <cstdint>
#include <cstdio>

namespace kd::cli {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  std::uint32_t min = 0;
  std::uint32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3Fu);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  // C1 controls (U+0080 to U+009F) act as escape sequences on some terminals too.
  if (code <= 0x9F) return 0;
  return length;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::uint8_t c = static_cast<std::uint8_t>(text[0]);
    std::size_t length = SequenceLength(text);
    if (length == 1 && (c < 0x20 || c == 0x7F)) length = 0;
    if (length == 0) {
      // A C1 control escapes byte by byte, like any byte that is not shown.
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
      text.remove_prefix(1);
      continue;
    }
    out += text.substr(0, length);
    text.remove_prefix(length);
  }
  return out;
}

void Say(std::string_view text) {
  std::fprintf(stderr, "keydecoder-cli: %s\n", Printable(text).c_str());
}

void Complain(std::string_view subject, std::string_view text) {
  std::fprintf(stderr, "keydecoder-cli: %s: %s\n", Printable(subject).c_str(), Printable(text).c_str());
}

std::string FileProblem(std::string_view what, std::string_view reason) {
  return std::string(what) + " (" + std::string(reason) + ")";
}

void ComplainFile(std::string_view subject, std::string_view what, std::string_view reason) {
  Complain(subject, FileProblem(what, reason));
}

}  // namespace kd::cli
