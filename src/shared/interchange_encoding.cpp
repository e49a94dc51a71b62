#include "shared/interchange_encoding.h"

#include <iconv.h>
#include <locale.h>

#include <memory>

#include "shared/cp1252.h"

namespace couloir {
namespace {

// The DOS accent codes the readers convert.
bool isDosAccentCode(unsigned char byte) { return byte >= 129 && byte <= 151; }

// glibc's transliteration to ASCII of one character ("Œ" -> "OE", "Ł" -> "L"),
// under a UTF-8 locale of this thread only: the C locale knows no letters.
std::string transliterate(std::string_view character) {
    static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    struct LocaleScope {
        locale_t previous;
        explicit LocaleScope(locale_t wanted) : previous(wanted ? uselocale(wanted) : nullptr) {}
        ~LocaleScope() {
            if (previous) uselocale(previous);
        }
    } scope(utf8Locale);

    iconv_t converter = iconv_open("ASCII//TRANSLIT", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return "?";
    std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);
    std::string in(character);
    std::string out(16, '\0');
    char* input = in.data();
    std::size_t inputLeft = in.size();
    char* output = out.data();
    std::size_t outputLeft = out.size();
    if (iconv(converter, &input, &inputLeft, &output, &outputLeft) == static_cast<std::size_t>(-1)) return "?";
    out.resize(out.size() - outputLeft);
    return out.empty() ? "?" : out;
}

// Where the UTF-8 character starting at `i` ends.
std::size_t characterEnd(std::string_view utf8, std::size_t i) {
    std::size_t end = i + 1;
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
    return end;
}

}  // namespace

std::string interchangeText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t plain = 0;  // start of the current run of ASCII
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        out.append(utf8.substr(plain, i - plain));
        std::size_t end = characterEnd(utf8, i);
        std::string_view character = utf8.substr(i, end - i);
        std::string byte = encodeCp1252(character);
        bool kept = byte.size() == 1 && byte != "?" && !isDosAccentCode(static_cast<unsigned char>(byte[0]));
        if (kept) out.append(character);
        else out += transliterate(character);
        plain = i = end;
    }
    out.append(utf8.substr(plain));
    return out;
}

}  // namespace couloir
