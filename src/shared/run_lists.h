// The lookup lists one call of an importing library fills and reads: clubs
// and swimmers already handled, keyed by club code (+ licence number).
#pragma once

#include <string>

#include "shared/lookup.h"

namespace couloir {

struct RunLists {
    LookupList colClubsVus;           // key = item = club code
    LookupList colLicencesNum;        // club code + licence -> Licence.Num
    LookupList colLicencesAge;        // club code + licence -> sporting age (results import)
    LookupList colLicencesNaissance;  // club code + licence -> date of birth yyyymmdd (performance import)
    LookupList colLicencesVues;       // club code + licence already handled (licence import)

    void InitCollections() {
        colClubsVus.clear();
        colLicencesNum.clear();
        colLicencesAge.clear();
        colLicencesNaissance.clear();
        colLicencesVues.clear();
    }
};

}  // namespace couloir
