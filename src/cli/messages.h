#pragma once

#include <string>
#include <string_view>

namespace kd::cli {

// The text with every control character and every byte that is not UTF-8 shown as \xHH, so that a
// file name or a typed text cannot reach the terminal as a control sequence.
std::string Printable(std::string_view text);

// "keydecoder-cli: TEXT" on standard error, made printable.
void Say(std::string_view text);
// "keydecoder-cli: SUBJECT: TEXT" on standard error, made printable.
void Complain(std::string_view subject, std::string_view text);
// "WHAT (REASON)": a file that could not be read or written, and why.
std::string FileProblem(std::string_view what, std::string_view reason);
// "keydecoder-cli: SUBJECT: WHAT (REASON)".
void ComplainFile(std::string_view subject, std::string_view what, std::string_view reason);

}  // namespace kd::cli
