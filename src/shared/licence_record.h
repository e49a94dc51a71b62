// One line of licence.txt: its 24 fixed-width fields, the folding of the
// surname, and the birth year that a licence number carries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace couloir {

// Slots of the fields of a licence.txt record, in file order.
enum ChampLicence : std::size_t {
    kChampCodeClub = 0,
    kChampLicence = 1,
    kChampNom = 2,
    kChampPrenom = 3,
    kChampSexe = 4,
    kChampNaissance = 5,
    kChampDepot = 18,
    kChampObliteration = 19,
    kChampOrigine = 22,  // a selection entry's own club code and licence, not stored
    kChampCodeUnique = 23,
    kNombreChampsLicence = 24,
};

// The widths of the 24 fields (248 characters).
const std::vector<int>& largeursLicence();

// Character positions (0-based) of the surname and first name in a line.
inline constexpr std::size_t kDebutNom = 19, kLargeurNom = 25, kDebutPrenom = 44, kLargeurPrenom = 20;
// Character position and width of the selection origin (club code 13 + licence 6).
inline constexpr std::size_t kDebutOrigine = 207, kLargeurOrigine = 19;

// The member's own club code and licence number named by a selection entry.
struct OrigineSelection {
    std::string code, licence;
};
// Cuts the origin field (its 19 characters as they stand) into the trimmed code and licence.
OrigineSelection origineSelection(std::string_view champOrigine);

// The surname as stored: lower-cased, accented letters made plain capitals,
// then upper-cased ("Éloïse-Müller" -> "ELOISE-MULLER").
std::string strPlierNom(std::string_view nom);

// The date of birth ("yyyymmdd", possibly empty) made consistent with the
// licence number, whose first two characters are the birth year: when they
// differ from the date's year, the date becomes 1 January of that year
// (00-29 -> 20xx, 30-99 -> 19xx, a century earlier when that is after today).
// A licence number not starting with digits then is a type-mismatch error.
std::string strNaissanceSelonLicence(std::string_view licence, const std::string& naissance);

// The 24 fields of a line, each trimmed (the origin field kept as it stands),
// with the surname folded, the dates made "yyyymmdd" (empty when implausible)
// and the birth-year rule applied.
std::vector<std::string> DecouperLicence(std::string_view line);

}  // namespace couloir
