#include "competition_files/engag_record.h"

#include "competition_files/field_formats.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

FixedRecord engagRecord(const CreationState& state, std::string_view eventCode, std::string_view licence,
                        std::string_view time) {
    FixedRecord record(kEngagWidths);
    record.left(kEngNum, state.strNumRcomp)
        .left(kEngEpreuve, twoDigitEventCode(eventCode))
        .left(kEngClub, state.strCodeClubProfil)
        .left(kEngLicence, licence)
        .right(kEngTemps, fourDecimalTime(time));
    return record;
}

}  // namespace couloir::vandrule
