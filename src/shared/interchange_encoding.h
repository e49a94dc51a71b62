// The text of a field that Couloir writes into an interchange file. The
// readers convert Windows-1252 codes 129 to 151 as DOS accented letters, so
// the characters the code page puts there (Œ, –, “, …) are written as their
// plain equivalents, and characters the code page lacks as their nearest
// Latin letters: what Couloir writes, Couloir reads back the same.
#pragma once

#include <string>
#include <string_view>

namespace couloir {

// The text with those characters replaced, still UTF-8: fixed widths are
// counted after the replacement ("Œ" takes two columns as "OE").
std::string interchangeText(std::string_view utf8);
// Whether interchangeText would change the text.
bool needsInterchangeText(std::string_view utf8);
// Appends the Windows-1252 bytes of interchangeText(utf8), in one pass.
void appendInterchangeBytes(std::string& out, std::string_view utf8);

}  // namespace couloir
