// In a selection, each entered swimmer is presented under a licence number
// of the selection: his two-digit birth year, his rank among the swimmers of
// that year (oldest first) on three digits, and the last character of his
// own licence number.
#pragma once

#include <string>
#include <string_view>

#include "competition_files/creation_state.h"

namespace couloir::vandrule {

// Numbers the visible swimmers the selection enters, into colLicencesSelection.
void numberSelection(CreationState& state);

// The selection licence number of a swimmer known by his own club code and
// licence number. A swimmer the selection did not enter has none: he gets
// the empty text (a blank field) and the trace says so.
std::string selectionLicence(CreationState& state, std::string_view clubCode, std::string_view licence);

}  // namespace couloir::vandrule
