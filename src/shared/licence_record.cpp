#include "shared/licence_record.h"

#include <array>

#include "shared/clock.h"
#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"

namespace couloir {

SelectionOrigin selectionOrigin(std::string_view originField) {
    return {std::string(trim(charSubstr(originField, 0, 13))), std::string(trim(charSubstr(originField, 13, 6)))};
}

namespace {

// Windows-1252 case mapping of one byte; ß, µ and non-letters keep their byte.
unsigned char lowerCp1252(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A: return 0x9A;  // Š
        case 0x8C: return 0x9C;  // Œ
        case 0x8E: return 0x9E;  // Ž
        case 0x9F: return 0xFF;  // Ÿ
        default: return c;
    }
}

unsigned char upperCp1252(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;
        case 0x9C: return 0x8C;
        case 0x9E: return 0x8E;
        case 0xFF: return 0x9F;
        default: return c;
    }
}

// The plain capital that replaces an accented small letter, or 0.
unsigned char plainCapital(unsigned char c) {
    switch (c) {
        case 0xE9: case 0xE8: case 0xEA: case 0xEB: return 'E';  // é è ê ë
        case 0xE0: case 0xE4: case 0xE2: return 'A';              // à ä â
        case 0xEE: case 0xEF: return 'I';                          // î ï
        case 0xF4: case 0xF6: return 'O';                          // ô ö
        case 0xFC: case 0xFB: return 'U';                          // ü û
        case 0xE7: return 'C';                                     // ç
        default: return 0;
    }
}

// What each Windows-1252 byte of a surname becomes, computed once.
const std::array<unsigned char, 256>& foldTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            unsigned char lower = lowerCp1252(static_cast<unsigned char>(b));
            unsigned char plain = plainCapital(lower);
            t[b] = plain ? plain : upperCp1252(lower);
        }
        return t;
    }();
    return table;
}


}  // namespace

std::string foldSurname(std::string_view surname) {
    const auto& table = foldTable();
    std::string bytes = encodeCp1252(surname);
    for (char& c : bytes) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return decodeCp1252(bytes);
}

std::string birthDateFromLicence(std::string_view licence, const std::string& birthDate) {
    std::string_view twoDigits = charSubstr(licence, 0, 2);
    if (twoDigits == charSubstr(birthDate, 2, 2)) return birthDate;

    // "01/01/" + the two characters read as a date: a two-digit year in the
    // window 1930-2029.
    std::string_view digits = trim(twoDigits);
    if (!allDigits(digits)) throw errors::typeMismatch();
    int year = std::stoi(std::string(digits));
    year += year < 30 ? 2000 : 1900;
    std::string date = std::to_string(year) + "0101";
    if (date > todayYyyymmdd()) date = std::to_string(year - 100) + "0101";
    return date;
}

std::vector<std::string> DecouperLicence(std::string_view line) {
    std::vector<std::string> fields = cutFields(line, kLicenceWidths);
    fields[kLicOrigine] = std::string(charSubstr(line, kOriginStart, kOriginWidth));
    fields[kLicNom] = foldSurname(fields[kLicNom]);
    fields[kLicNaissance] =
        birthDateFromLicence(fields[kLicLicence], strJjmmaaaaVersAaaammjj(fields[kLicNaissance]));
    fields[kLicDepot] = strJjmmaaaaVersAaaammjj(fields[kLicDepot]);
    fields[kLicObliteration] = strJjmmaaaaVersAaaammjj(fields[kLicObliteration]);
    return fields;
}

}  // namespace couloir
