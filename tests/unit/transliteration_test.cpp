#include "shared/transliteration.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/interchange_encoding.h"

#ifdef __GLIBC__
#include <iconv.h>
#include <locale.h>
#endif

namespace couloir {
namespace {

TEST(Transliteration, NamesOutsideTheCodePageBecomeTheirNearestLatinLetters) {
    EXPECT_EQ(asciiTransliteration(U'Œ'), "OE");
    EXPECT_EQ(asciiTransliteration(U'Ł'), "L");
    EXPECT_EQ(asciiTransliteration(U'–'), "-");
    EXPECT_EQ(asciiTransliteration(U'…'), "...");
    // A combining accent alone, a character of no Latin likeness, and no character at all.
    EXPECT_EQ(asciiTransliteration(U'\u0301'), "?");
    EXPECT_EQ(asciiTransliteration(U'中'), "?");
    EXPECT_EQ(asciiTransliteration(0), "?");
    EXPECT_EQ(interchangeText("Łukasz “Œuvre” – Doğan"), "Lukasz \"OEuvre\" - Dogan");
}

#ifdef __GLIBC__
// glibc's own iconv under C.UTF-8, the table's origin.
std::string iconvTransliteration(iconv_t converter, char32_t character) {
    char in[4];
    std::size_t length = character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
    unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (std::size_t i = length - 1; i > 0; --i, character >>= 6) in[i] = static_cast<char>(0x80 | (character & 0x3F));
    in[0] = static_cast<char>(lead[length] | character);
    char out[32];
    char* input = in;
    char* output = out;
    std::size_t inputLeft = length, outputLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &input, &inputLeft, &output, &outputLeft) == static_cast<std::size_t>(-1)) return "?";
    std::string result(out, output);
    return result.empty() ? "?" : result;
}

// The generated table gives every character the bytes glibc gives it, so a
// name is written the same on every platform as it always was on Linux.
TEST(Transliteration, TheTableIsGlibcsForEveryCharacter) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    ASSERT_NE(utf8, static_cast<locale_t>(nullptr));
    locale_t previous = uselocale(utf8);
    iconv_t converter = iconv_open("ASCII//TRANSLIT", "UTF-8");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    int differences = 0;
    for (char32_t character = 0x80; character < 0x110000 && differences < 10; ++character) {
        if (character >= 0xD800 && character < 0xE000) continue;
        std::string expected = iconvTransliteration(converter, character);
        std::string_view got = asciiTransliteration(character);
        if (got != expected) {
            ++differences;
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(character) << ": table \"" << got
                          << "\", glibc \"" << expected << "\"";
        }
    }
    iconv_close(converter);
    uselocale(previous);
    freelocale(utf8);
}
#endif

}  // namespace
}  // namespace couloir
