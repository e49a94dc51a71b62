#include "competition_files/relay_teams.h"

#include <cmath>

#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

const std::array<RelaySex, 3> kRelaySexes = {{
    {relayKind("F"), "F", 0},
    {relayKind("M"), "M", 50},
    {relayKind(""), "", 0},
}};

const RelaySex& relaySex(std::string_view eventSex) {
    const RelayKind& kind = relayKind(eventSex);
    for (const RelaySex& sex : kRelaySexes)
        if (&sex.kind == &kind) return sex;
    return kRelaySexes[2];
}

int relayTeamNumber(std::string_view text) {
    double value = numericValue(text);
    if (value < 1 || value > 999 || value != std::floor(value))
        throw Error(errors::kInvalidCall, "Numéro d'équipe de relais hors des limites 1 à 999 : " + std::string(text));
    return static_cast<int>(value);
}

std::string relayLicence(const RelaySex& sex, int team) { return relayLicence(sex.kind, std::to_string(team)); }

}  // namespace couloir::vandrule
