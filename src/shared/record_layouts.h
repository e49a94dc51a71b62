// The record layouts of the files more than one library writes: club.txt
// and licence.txt, each field by name in file order with its width in
// characters.
#pragma once

#include "shared/fixed_record.h"

namespace couloir {

// club.txt, 43 characters.
enum ClubField { kClubCode, kClubIntitule };
inline const Widths kClubWidths = {13, 30};

// licence.txt, 248 characters; the address fields stay blank and the origin
// field, where written, holds the swimmer's own club code and licence number.
enum LicenceField { kLicClub, kLicLicence, kLicNom, kLicPrenom, kLicSexe, kLicNaissance, kLicNationalite,
                    kLicAdresse, kLicSuiteAdresse, kLicCodePostal, kLicLocalite, kLicTelephone, kLicSportive,
                    kLicSynchro, kLicWaterPolo, kLicPlongeon, kLicDirigeant, kLicMaitre, kLicDepot,
                    kLicObliteration, kLicTypeLicence, kLicNature, kLicOrigine, kLicCodeUnique };
inline const Widths kLicenceWidths = {13, 6, 25, 20, 1, 8, 3, 30, 30, 7, 26, 14,
                                      1,  1, 1,  1,  1, 1, 8, 8,  1,  1, 19, 22};

}  // namespace couloir
