#include "competition_files/relay_teams.h"

#include <cmath>
#include <cstdio>

#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

const std::array<RelaySex, 3> kRelaySexes = {{
    {"R2", "Dames", "F", 0},
    {"R1", "Messieurs", "M", 50},
    {"R3", "Mixte", "", 0},
}};

const RelaySex& relaySex(std::string_view eventSex) {
    if (eventSex == "F") return kRelaySexes[0];
    if (eventSex == "M") return kRelaySexes[1];
    return kRelaySexes[2];
}

int relayTeamNumber(std::string_view text) {
    double value = numericValue(text);
    if (value < 1 || value > 999 || value != std::floor(value))
        throw Error(errors::kInvalidCall, "Numéro d'équipe de relais hors des limites 1 à 999 : " + std::string(text));
    return static_cast<int>(value);
}

std::string relayLicence(const RelaySex& sex, int team) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%03dF", sex.code, team);
    return buffer;
}

}  // namespace couloir::vandrule
