// The formatting rules shared by the libraries that write interchange files
// and those that read them back: relay team codes and names, season starts,
// numbers on a fixed count of digits.
#pragma once

#include <string>
#include <string_view>

#include "shared/text_date.h"

namespace couloir {

// A relay team's kind, after its event's sex: its licence code and its label.
struct RelayKind {
    const char* code;   // R2 women, R1 men, R3 mixed
    const char* label;  // "Dames", "Messieurs", "Mixte"
};
// "F" women, "M" men, anything else mixed; the sex is compared as given.
const RelayKind& relayKind(std::string_view sex);
// The team's pseudo-licence: code + team number on three digits + "F"; team
// 1 of the men is R1001F.
std::string relayLicence(const RelayKind& kind, std::string_view team);
// "RELAIS " + the label in capitals + " N° " + the team number.
std::string relayName(const RelayKind& kind, std::string_view team);

// A number rounded to a whole one and written on at least `digits` digits
// ("5" with 2 gives "05"); an empty value stays empty.
std::string zeroPadded(std::string_view number, int digits);

// The first day of the season a day falls in, as "1609" + its year on four
// digits: seasons start on 16 September.
std::string seasonStart(Date day);

}  // namespace couloir
