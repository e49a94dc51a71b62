// Relay teams are entered as pseudo-swimmers: per relay sex, a licence code,
// a label and the offset of the federation's team numbering.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shared/interchange_formats.h"

namespace couloir::vandrule {

struct RelaySex {
    const RelayKind& kind;   // the pseudo-licence's code; its label is the pseudo-swimmer's first name
    const char* swimmerSex;  // the pseudo-swimmer's sex
    int teamOffset;          // added to the team number in Engag.txt
};

// Women, men, mixed: the order of the pseudo-licences in Licence.txt.
extern const std::array<RelaySex, 3> kRelaySexes;

// The sex of a relay event from Nage.Sexe: "F", "M", anything else mixed.
const RelaySex& relaySex(std::string_view eventSex);

// A team's number inside its pseudo-licence, from 1 to 999; anything else
// cannot be written in three digits and is an error.
int relayTeamNumber(std::string_view text);
// The team's pseudo-licence (relayLicence): team 1 of the men is R1001F.
std::string relayLicence(const RelaySex& sex, int team);

}  // namespace couloir::vandrule
