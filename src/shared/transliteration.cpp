#include "shared/transliteration.h"

#include <algorithm>

namespace couloir {

std::string_view asciiTransliteration(char32_t character) {
    const TransliterationEntry* end = kTransliterations + kTransliterationCount;
    const TransliterationEntry* found = std::lower_bound(
        kTransliterations, end, character,
        [](const TransliterationEntry& entry, char32_t wanted) { return entry.character < wanted; });
    return found != end && found->character == character ? found->ascii : "?";
}

}  // namespace couloir
