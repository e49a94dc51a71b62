// clsMajIUF.bImport_CodeIUF: writes the swimmers' unique federal codes from
// every code file of a folder into the swimmers already stored.
#pragma once

#include <string>

#include "shared/call_frame.h"

namespace couloir::korvenna {

// Scans `call.sourceDir`; when `ownClubOnly`, only the swimmers of the club
// `ownClub` (13 characters, compared exactly) are updated. True when the scan
// ran to its end.
bool bImport_CodeIUF(const CallFrame& call, bool ownClubOnly, const std::string& ownClub);

}  // namespace couloir::korvenna
