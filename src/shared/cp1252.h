// Windows-1252 bytes <-> UTF-8 text, and the DOS (OEM) accented letters that
// interchange files written by DOS software carry.
#pragma once

#include <string>
#include <string_view>

namespace couloir {

// Decodes Windows-1252 bytes to UTF-8. The five bytes that code page leaves
// undefined decode to the C1 control of the same value, as Windows does.
std::string decodeCp1252(std::string_view bytes);

// Encodes UTF-8 text to Windows-1252; a character the code page lacks becomes "?".
std::string encodeCp1252(std::string_view utf8);

// The position of the first byte of `text` from `from` on that is not ASCII,
// or its size; runs of ASCII go eight bytes at a time.
std::size_t firstNonAscii(std::string_view text, std::size_t from = 0);

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int cp1252Byte(char32_t codePoint);

// Replaces, in raw bytes, the DOS code-page accented letters (codes 129 to 151)
// by the same letters in Windows-1252: 130 becomes é, 133 à, and so on.
std::string strConvertirAccents(std::string_view bytes);

}  // namespace couloir
