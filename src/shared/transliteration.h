// The ASCII transliteration of single characters, as glibc's C.UTF-8 locale
// gives it ("Œ" -> "OE", "Ł" -> "L", "–" -> "-"). The table is generated at
// build time from glibc's locale sources, so every platform writes a name
// the same bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace couloir {

struct TransliterationEntry {
    char32_t character;
    const char* ascii;
};

// Sorted by character; generated.
extern const TransliterationEntry kTransliterations[];
extern const std::size_t kTransliterationCount;

// The character's ASCII letters, or "?" when it has none.
std::string_view asciiTransliteration(char32_t character);

}  // namespace couloir
