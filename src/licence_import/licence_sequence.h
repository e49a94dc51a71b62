// clsRecupLicence.bImport_Licence: the federation's club list, then its
// licence list, under one progress bar.
#pragma once

#include "shared/call_frame.h"

namespace couloir::korvenna {

// Checks and copies licence.txt (required), club.txt and origine.txt from
// `call.sourceDir` into `temporaryDir`, then imports them. True when the
// sequence ran to its end, whatever the lines in error.
bool bImport_Licence(const CallFrame& call, const std::string& temporaryDir);

}  // namespace couloir::korvenna
