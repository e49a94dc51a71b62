// The performance-import sequence: clubs, licences, then the performances,
// kept whole under a new reference competition or not at all.
#pragma once

#include "perf_import/perf_run.h"

namespace couloir::tessimor {

// Marks the stroke codes listed in Nage as valid.
void ChargerNagesValides(PerfRun& run);

// Runs the three file steps. False when the performances were discarded.
bool bEnchainerImportPerfs(PerfRun& run);

}  // namespace couloir::tessimor
