// What one export works with: the caller's choice of performances, the
// output paths, and the clubs and swimmers already written, which both
// exports share so that each gets one line per call.
#pragma once

#include <string>

#include "shared/lookup.h"
#include "shared/session.h"
#include "shared/staged_output.h"

namespace couloir::plessaud {

// Whose performances are exported.
struct ExportScope {
    std::string strCodeClub;  // a club's or a selection's federal code
    bool bSelection = false;  // the code is a selection's
    bool bAllClub = false;    // every club; the two above are then ignored
};

struct OutputPaths {
    std::string licence, club, origine, liffn;
};

// Where the four files are written until the call delivers them.
OutputPaths outputPaths(const StagedOutput& output);

struct ExportRun : CallState {
    ExportRun(Session& s, ExportScope exportScope, OutputPaths outputs)
        : CallState(s), scope(std::move(exportScope)), paths(std::move(outputs)) {}

    ExportScope scope;
    OutputPaths paths;

    LookupList clubsWritten{};     // club code -> club name
    LookupList swimmersWritten{};  // Licence.Num -> club code (13) + licence number (6)
    double increment = 0;          // progress per performance line
    bool complete = true;          // false once an error left something out of the files
};

}  // namespace couloir::plessaud
