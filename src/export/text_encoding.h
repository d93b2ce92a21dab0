#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// The code points of a UTF-8 text; a malformed sequence gives U+FFFD and decoding goes on.
std::u32string DecodeUtf8(std::string_view text);

// The number of characters of a UTF-8 text (every byte but a continuation byte starts one).
std::size_t CodePointCount(std::string_view text);

// The UTF-16 code units of a code point: one, or a surrogate pair for one past U+FFFF.
std::u16string Utf16Units(char32_t code_point);

// The UTF-16 code units of a UTF-8 text.
std::u16string Utf8ToUtf16(std::string_view text);

// The Windows-1251 byte of a code point, or nothing (returned as 0) where the code page has none.
std::uint8_t ToCp1251(char32_t code_point);

// A UTF-8 text in Windows-1251; characters the code page lacks become "?".
std::string Utf8ToCp1251(std::string_view text);

}  // namespace kd
