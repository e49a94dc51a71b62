#include "perf_import/perf_record.h"

#include <charconv>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/licence_record.h"
#include "shared/text_date.h"

namespace couloir::tessimor {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// True when a Windows-1252 byte is a small letter that has a capital in the
// code page (ß, µ and ƒ have none).
bool isSmallLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E;
}

// A surname already in capitals, accented ones included, is kept as written.
bool bEnMajuscules(std::string_view nom) {
    bool ascii = true;
    for (char c : nom) {
        if (c >= 'a' && c <= 'z') return false;
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    }
    if (ascii) return true;
    for (char c : encodeCp1252(nom))
        if (isSmallLetter(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string typeLicence(std::string_view type) {
    std::string upper = toUpperAscii(type);
    return upper == "R" || upper == "T" ? upper : "N";
}

}  // namespace

std::optional<int> codeNage(std::string_view deuxCaracteres) {
    std::string_view digits = trim(deuxCaracteres);
    if (!allDigits(digits)) return std::nullopt;
    return static_cast<int>(wholeNumber(digits));  // at most two digits: 0 to 99
}

int annee(const std::string& aaaammjj) { return int(parseAaaammjj(aaaammjj).year()); }

bool bLigneRelais(const std::string& licence) { return !licence.empty() && licence[0] == 'R'; }

bool bDecouperPerf(std::string_view ligne, ChampsPerf& champs, std::string& message) {
    champs = cutFields(ligne, kLiffnWidths);
    const std::string& bassin = champs[kPerfBassin];
    if (bassin != "25" && bassin != "50") {
        message = "Type de bassin incorrect : " + bassin + ".";
        return false;
    }
    champs[kPerfDate] = strJjmmaaaaVersAaaammjj(champs[kPerfDate]);
    if (!bEnMajuscules(champs[kPerfNom])) champs[kPerfNom] = strPlierNom(champs[kPerfNom]);
    champs[kPerfDateLicence] = strJjmmaaaaVersAaaammjj(champs[kPerfDateLicence]);
    champs[kPerfTypeLicence] = typeLicence(champs[kPerfTypeLicence]);
    if (champs[kPerfPassageRelais] != "R") champs[kPerfPassageRelais].clear();
    return true;
}

std::int64_t iNumeroEquipe(std::string_view codeRelais) {
    std::string_view digits = trim(charSubstr(codeRelais, 2, 3));
    if (!allDigits(digits)) throw errors::typeMismatch();
    return wholeNumber(digits);
}

std::int64_t wholeNumber(std::string_view text) {
    std::string number = sqlNumber(text);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc()) throw errors::overflow();
    return value;
}

double timeValue(std::string_view temps) {
    std::string_view time = trim(temps);
    std::size_t point = time.find('.');
    std::string_view whole = time.substr(0, point);
    std::string_view decimals = point == std::string_view::npos ? std::string_view("0") : time.substr(point + 1);
    if (!allDigits(whole) || !allDigits(decimals)) throw errors::typeMismatch();
    return numericValue(time);
}

}  // namespace couloir::tessimor
