// One line of licence.txt: its 24 fixed-width fields, the folding of the
// surname, and the birth year that a licence number carries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/record_layouts.h"

namespace couloir {

// The number of fields of a licence.txt record.
inline constexpr std::size_t kLicenceFieldCount = kLicCodeUnique + 1;

// Character positions (0-based) of the surname and first name in a line.
inline constexpr std::size_t kSurnameStart = 19, kSurnameWidth = 25, kFirstNameStart = 44, kFirstNameWidth = 20;
// Character position and width of the selection origin (club code 13 + licence 6).
inline constexpr std::size_t kOriginStart = 207, kOriginWidth = 19;

// The member's own club code and licence number named by a selection entry.
struct SelectionOrigin {
    std::string code, licence;
};
// Cuts the origin field (its 19 characters as they stand) into the trimmed code and licence.
SelectionOrigin selectionOrigin(std::string_view originField);

// The surname as stored: lower-cased, accented letters made plain capitals,
// then upper-cased ("Éloïse-Müller" -> "ELOISE-MULLER").
std::string foldSurname(std::string_view surname);

// The date of birth ("yyyymmdd", possibly empty) made consistent with the
// licence number, whose first two characters are the birth year: when they
// differ from the date's year, the date becomes 1 January of that year
// (00-29 -> 20xx, 30-99 -> 19xx, a century earlier when that is after today).
// A licence number not starting with digits then is a type-mismatch error.
std::string birthDateFromLicence(std::string_view licence, const std::string& birthDate);

// The 24 fields of a line, each trimmed (the origin field kept as it stands),
// with the surname folded, the dates made "yyyymmdd" (empty when implausible)
// and the birth-year rule applied.
std::vector<std::string> DecouperLicence(std::string_view line);

}  // namespace couloir
