// A stored swimmer as licence.txt carries it, for the libraries that write
// that file from the database: the columns they select and the fields each
// value fills.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shared/fixed_record.h"

namespace couloir {

// The Licence columns after the club code, in the order of SwimmerValues.
inline constexpr const char* kSwimmerColumns =
    "Licence.Licence, Licence.Nom, Licence.Prenom, Licence.Sexe, Licence.Date_Naissance, Licence.Nationalite, "
    "Licence.Sportive, Licence.Synchro, Licence.Water_Polo, Licence.Plongeon, Licence.Dirigeant, Licence.Maitre, "
    "Licence.Date_Depot, Licence.Date_obliteration, Licence.Type_licence, Licence.Nature, Licence.Code_unique";

// The club code, then the values of kSwimmerColumns.
struct SwimmerValues {
    enum Value { kClub, kLicence, kNom, kPrenom, kSexe, kNaissance, kNationalite, kSportive, kSynchro, kWaterPolo,
                 kPlongeon, kDirigeant, kMaitre, kDepot, kObliteration, kTypeLicence, kNature, kCodeUnique, kCount };
    std::array<std::string, kCount> values;

    const std::string& operator[](Value value) const { return values[value]; }
};

// Fills the licence.txt fields the values carry (the address fields and the
// origin are left as they are); `fileDate` writes a stored yyyymmdd date in
// the file's form.
void setSwimmerFields(FixedRecord& record, const SwimmerValues& swimmer, std::string (*fileDate)(std::string_view));

}  // namespace couloir
