// How the database's values are written into the performance lines.
#pragma once

#include <string>
#include <string_view>

#include "shared/interchange_formats.h"

namespace couloir::plessaud {

// The pool length when it is 25 or 50, else the empty text.
std::string poolLength(std::string_view length);
// The start of the season of a swim dated yyyymmdd, as ddmmyyyy: 16
// September of the swim's year from that day on, of the year before until
// then; empty when the date is not 8 digits.
std::string seasonStartOfSwim(std::string_view yyyymmdd);

// A relay team as the performance file names it, after its event's sex.
class RelayTeam {
public:
    // "M" men, "F" women, anything else (empty) mixed, in any case and
    // between blanks.
    explicit RelayTeam(std::string_view eventSex);

    // The team's pseudo-licence (relayLicence) and name (relayName).
    std::string licence(std::string_view teamNumber) const { return relayLicence(*kind_, teamNumber); }
    std::string name(std::string_view teamNumber) const { return relayName(*kind_, teamNumber); }

private:
    const RelayKind* kind_;
};

}  // namespace couloir::plessaud
