#include "perf_import/perf_record.h"

#include <charconv>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/licence_record.h"
#include "shared/text_date.h"

namespace couloir::tessimor {
namespace {


// True when a Windows-1252 byte is a small letter that has a capital in the
// code page (ß, µ and ƒ have none).
bool isSmallLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E;
}

// A surname already in capitals, accented ones included, is kept as written.
bool isUpperCase(std::string_view surname) {
    bool ascii = true;
    for (char c : surname) {
        if (c >= 'a' && c <= 'z') return false;
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    }
    if (ascii) return true;
    for (char c : encodeCp1252(surname))
        if (isSmallLetter(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string licenceType(std::string_view type) {
    std::string upper = toUpperAscii(type);
    return upper == "R" || upper == "T" ? upper : "N";
}

}  // namespace

std::optional<int> strokeCode(std::string_view twoCharacters) {
    std::string_view digits = trim(twoCharacters);
    if (!allDigits(digits)) return std::nullopt;
    return static_cast<int>(wholeNumber(digits));  // at most two digits: 0 to 99
}

int yearOf(const std::string& yyyymmdd) { return int(parseYyyymmdd(yyyymmdd).year()); }

bool isRelayLine(const std::string& licence) { return !licence.empty() && licence[0] == 'R'; }

bool bDecouperPerf(std::string_view line, PerfFields& fields, std::string& message) {
    fields = cutFields(line, kLiffnWidths);
    const std::string& pool = fields[kPerfBassin];
    if (pool != "25" && pool != "50") {
        message = "Type de bassin incorrect : " + pool + ".";
        return false;
    }
    fields[kPerfDate] = strJjmmaaaaVersAaaammjj(fields[kPerfDate]);
    if (!isUpperCase(fields[kPerfNom])) fields[kPerfNom] = foldSurname(fields[kPerfNom]);
    fields[kPerfDateLicence] = strJjmmaaaaVersAaaammjj(fields[kPerfDateLicence]);
    fields[kPerfTypeLicence] = licenceType(fields[kPerfTypeLicence]);
    if (fields[kPerfPassageRelais] != "R") fields[kPerfPassageRelais].clear();
    return true;
}

std::int64_t teamNumber(std::string_view relayCode) {
    std::string_view digits = trim(charSubstr(relayCode, 2, 3));
    if (!allDigits(digits)) throw errors::typeMismatch();
    return wholeNumber(digits);
}

std::int64_t wholeNumber(std::string_view text) {
    std::string_view number = trim(text);
    if (!isWholeNumber(number)) throw errors::typeMismatch();
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc()) throw errors::overflow();
    return value;
}

double timeValue(std::string_view field) {
    // Written into the statement as it stands: only the results' notation passes.
    std::string_view time = trim(field);
    if (!isResultsNotation(time))
        throw Error(errors::kTypeMismatch, "Incompatibilité de type : temps « " + std::string(time) + " » illisible");
    return numericValue(time);
}

}  // namespace couloir::tessimor
