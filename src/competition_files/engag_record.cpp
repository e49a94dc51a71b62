#include "competition_files/engag_record.h"

#include "competition_files/field_formats.h"

namespace couloir::vandrule {

FixedRecord engagRecord(const CreationState& state, std::string_view codeEpreuve, std::string_view licence,
                   std::string_view temps) {
    FixedRecord record(kEngagWidths);
    record.left(kEngNum, state.strNumRcomp)
        .left(kEngEpreuve, strCodeEpreuve(codeEpreuve))
        .left(kEngClub, state.strCodeClubProfil)
        .left(kEngLicence, licence)
        .right(kEngTemps, strTemps(temps));
    return record;
}

}  // namespace couloir::vandrule
