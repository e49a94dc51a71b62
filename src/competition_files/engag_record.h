// The part of an Engag.txt record that individual entries and relay teams
// share: competition, event, the profile's club, licence and entry time.
#pragma once

#include <string_view>

#include "competition_files/creation_state.h"
#include "competition_files/layouts.h"
#include "shared/fixed_record.h"

namespace couloir::vandrule {

FixedRecord engagRecord(const CreationState& state, std::string_view eventCode, std::string_view licence,
                        std::string_view time);

}  // namespace couloir::vandrule
