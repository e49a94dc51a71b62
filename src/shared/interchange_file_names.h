// The interchange files by the names the federation's programs give them:
// one list for the component that reads or writes them and for the hosts
// that name them to the user (the files an upload may carry, those an output
// folder receives).
#pragma once

#include <array>

namespace couloir::file_names {

// The files a club receives: results, licences, performances.
inline constexpr const char* kLicence = "licence.txt";
inline constexpr const char* kClub = "club.txt";
inline constexpr const char* kOrigine = "origine.txt";
inline constexpr const char* kRcomp = "rcomp.txt";
inline constexpr const char* kPcomp = "pcomp.txt";
inline constexpr const char* kCategori = "categori.txt";
inline constexpr const char* kRelais = "relais.txt";
inline constexpr const char* kPrres = "prres.txt";
inline constexpr const char* kEngag = "engag.txt";
inline constexpr const char* kLiffn = "liffn.txt";

// The files of a competition's entries, capitalised as the competition
// software expects them.
inline constexpr const char* kEntryOrigine = "Origine.txt";
inline constexpr const char* kEntryRcomp = "Rcomp.txt";
inline constexpr const char* kEntryPcomp = "Pcomp.txt";
inline constexpr const char* kEntryNage = "Nage.txt";
inline constexpr const char* kEntryClub = "Club.txt";
inline constexpr const char* kEntryLicence = "Licence.txt";
inline constexpr const char* kEntryEngag = "Engag.txt";
inline constexpr const char* kEntryRelais = "Relais.txt";

// Each operation's set, in the order its steps take them.
inline constexpr std::array kResultFiles = {kLicence, kClub, kOrigine, kRcomp, kPcomp,
                                            kCategori, kRelais, kPrres, kEngag};
inline constexpr std::array kSkeletonFiles = {kOrigine, kRcomp, kPcomp};
inline constexpr std::array kLicenceFiles = {kLicence, kClub, kOrigine};
inline constexpr std::array kPerformanceFiles = {kLicence, kClub, kOrigine, kLiffn};
inline constexpr std::array kEntryFiles = {kEntryOrigine, kEntryRcomp, kEntryPcomp,   kEntryNage,
                                           kEntryClub,    kEntryLicence, kEntryEngag, kEntryRelais};

}  // namespace couloir::file_names
