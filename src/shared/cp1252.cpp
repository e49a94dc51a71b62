#include "shared/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace couloir {
namespace {

// Unicode code points of bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char encodeCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Encodes the multi-byte character starting at `i` and returns where the
// next one starts. A lead byte whose sequence is cut short becomes one "?"
// with the continuation bytes that follow it; any other byte that starts no
// character becomes "?" on its own.
std::size_t appendEncodedCharacter(std::string& out, std::string_view utf8, std::size_t i) {
    auto b = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    std::size_t len;
    if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; len = 2; }
    else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; len = 3; }
    else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; len = 4; }
    else { out += '?'; return i + 1; }
    std::size_t end = i + 1;
    while (end < utf8.size() && end < i + len && isContinuation(static_cast<unsigned char>(utf8[end]))) {
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[end]) & 0x3F);
        ++end;
    }
    out += end == i + len ? encodeCodePoint(cp) : '?';
    return end;
}

// Windows-1252 byte of the letter that DOS code `code` (129..151) stands for, or 0.
unsigned char dosAccent(unsigned char code) {
    switch (code) {
        case 129: return 0xFC;  // ü
        case 130: return 0xE9;  // é
        case 131: return 0xE2;  // â
        case 132: return 0xE4;  // ä
        case 133: return 0xE0;  // à
        case 135: return 0xE7;  // ç
        case 136: return 0xEA;  // ê
        case 137: return 0xEB;  // ë
        case 138: return 0xE8;  // è
        case 139: return 0xEF;  // ï
        case 140: return 0xEE;  // î
        case 147: return 0xF4;  // ô
        case 148: return 0xF6;  // ö
        case 150: return 0xFB;  // û
        case 151: return 0xF9;  // ù
        default: return 0;
    }
}

}  // namespace

namespace {

// The UTF-8 form of each byte from 0x80 up: two or three bytes.
struct Utf8Char {
    char bytes[3];
    unsigned char length;
};

const std::array<Utf8Char, 128>& highBytes() {
    static const std::array<Utf8Char, 128> table = [] {
        std::array<Utf8Char, 128> t{};
        for (unsigned b = 0x80; b <= 0xFF; ++b) {
            std::string utf8;
            appendUtf8(utf8, b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b));
            Utf8Char& entry = t[b - 0x80];
            entry.length = static_cast<unsigned char>(utf8.size());
            for (std::size_t i = 0; i < utf8.size(); ++i) entry.bytes[i] = utf8[i];
        }
        return t;
    }();
    return table;
}

}  // namespace

std::string decodeCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 16);
    std::size_t plain = 0;  // start of the current run of ASCII bytes
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) continue;
        out.append(bytes.substr(plain, i - plain));
        const Utf8Char& utf8 = highBytes()[b - 0x80];
        out.append(utf8.bytes, utf8.length);
        plain = i + 1;
    }
    out.append(bytes.substr(plain));
    return out;
}

std::string encodeCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    // Runs of plain ASCII, the same bytes in both encodings, go as they are;
    // each other character is decoded and encoded on its own.
    std::size_t plain = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        out.append(utf8.substr(plain, i - plain));
        plain = i = appendEncodedCharacter(out, utf8, i);
    }
    out.append(utf8.substr(plain));
    return out;
}

std::size_t firstNonAscii(std::string_view text, std::size_t from) {
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

int cp1252Byte(char32_t codePoint) {
    if (codePoint >= 0xA0 && codePoint <= 0xFF) return static_cast<int>(codePoint);
    char byte = encodeCodePoint(codePoint);
    return byte == '?' && codePoint != U'?' ? -1 : static_cast<unsigned char>(byte);
}

std::string strConvertirAccents(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 129 && b <= 151) {
            if (unsigned char letter = dosAccent(b)) c = static_cast<char>(letter);
        }
    }
    return out;
}

}  // namespace couloir
