// What one file creation works with: the caller's arguments, what the early
// steps keep for the later ones, and the selection numbers.
#pragma once

#include <string>

#include "shared/lookup.h"
#include "shared/session.h"

namespace couloir::vandrule {

struct CreationState : CallState {
    CreationState(Session& s, std::string profile, bool isSelection, std::string competition, std::string folder)
        : CallState(s),
          strNumProfil(std::move(profile)),
          bIsSelection(isSelection),
          strNumCompet(std::move(competition)),
          strRepTravail(std::move(folder)) {}

    // From the caller.
    std::string strNumProfil{};   // Profil.Num: the club or selection making the entries
    bool bIsSelection = false;
    std::string strNumCompet{};   // Rcomp.AutoNum
    std::string strRepTravail{};  // the folder receiving the files once the call succeeds

    // Kept by the competition step.
    std::string strNumRcomp{};         // the competition's own number (Rcomp.Num)
    std::string strDateDebutCompet{};  // start date, long form, empty when unknown
    // Kept by the club step.
    std::string strCodeClubProfil{};  // federal code of the profile's club
    // Filled by the licence step in a selection: swimmer's club code +
    // licence -> selection's code + selection licence number.
    LookupList colLicencesSelection{};

    // Where an output file is written until the call delivers it.
    std::string outputPath(const char* fileName) const;
};

}  // namespace couloir::vandrule
