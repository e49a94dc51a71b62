#include "shared/interchange_encoding.h"

#include <utility>

#include "shared/cp1252.h"
#include "shared/transliteration.h"

namespace couloir {
namespace {

// The DOS accent codes the readers convert.
bool isDosAccentCode(unsigned char byte) { return byte >= 129 && byte <= 151; }

// The UTF-8 character starting at `i`: its code point (0 when malformed) and
// where the next one starts.
std::pair<char32_t, std::size_t> characterAt(std::string_view utf8, std::size_t i) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t cp = length == 1 ? 0 : lead & (0x3F >> (length - 1));
    std::size_t end = i + 1;
    for (; end < utf8.size() && end < i + length; ++end) {
        auto b = static_cast<unsigned char>(utf8[end]);
        if ((b & 0xC0) != 0x80) break;
        cp = (cp << 6) | (b & 0x3F);
    }
    return {end == i + length ? cp : 0, end};
}

// Whether the character goes into the file as it is: a Windows-1252 letter
// or sign outside the DOS accent codes.
bool kept(char32_t cp) {
    int byte = cp == 0 ? -1 : cp1252Byte(cp);
    return byte >= 0 && !isDosAccentCode(static_cast<unsigned char>(byte));
}

// Calls `replace(begin, end)` for each character, in order, that is not kept
// as it is; stops when `replace` returns false.
template <typename Replace>
void forEachReplaced(std::string_view utf8, Replace replace) {
    for (std::size_t i = firstNonAscii(utf8); i < utf8.size(); i = firstNonAscii(utf8, i)) {
        auto [cp, end] = characterAt(utf8, i);
        if (!kept(cp) && !replace(i, end)) return;
        i = end;
    }
}

}  // namespace

std::string interchangeText(std::string_view utf8) {
    std::string out;
    std::size_t plain = 0;  // start of the run of characters kept as they are
    forEachReplaced(utf8, [&](std::size_t begin, std::size_t end) {
        out.append(utf8.substr(plain, begin - plain));
        out += asciiTransliteration(characterAt(utf8, begin).first);
        plain = end;
        return true;
    });
    if (plain == 0) return std::string(utf8);
    out.append(utf8.substr(plain));
    return out;
}

bool needsInterchangeText(std::string_view utf8) {
    bool found = false;
    forEachReplaced(utf8, [&](std::size_t, std::size_t) {
        found = true;
        return false;
    });
    return found;
}

void appendInterchangeBytes(std::string& out, std::string_view utf8) {
    std::size_t plain = 0;
    for (std::size_t i = firstNonAscii(utf8); i < utf8.size(); i = firstNonAscii(utf8, i)) {
        out.append(utf8.substr(plain, i - plain));
        auto [cp, end] = characterAt(utf8, i);
        if (kept(cp)) out += static_cast<char>(cp1252Byte(cp));
        else out += asciiTransliteration(cp);
        plain = i = end;
    }
    out.append(utf8.substr(plain));
}

}  // namespace couloir
