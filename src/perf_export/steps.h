// The export sequence and its parts. Each part reports its own failure in
// the trace and marks the run incomplete; only the sequence returns a result.
#pragma once

#include <cstdint>

#include "perf_export/export_run.h"
#include "perf_export/individual_performances.h"

namespace couloir::plessaud {

// Counts, then writes the four files; false when they are incomplete.
bool runExportSequence(ExportRun& run);

// origine.txt: the producer's name.
void writeOrigin(ExportRun& run);
// The individual performances, with their swimmers and clubs; creates the
// licence, club and performance files.
void exportIndividualPerformances(ExportRun& run, const IndividualPerformances& performances);
// The relay performances, with their relayers and clubs, appended to the
// files; `relayCount` is the number of relay performances to export.
void exportRelayPerformances(ExportRun& run, std::int32_t relayCount);

}  // namespace couloir::plessaud
