// The statements of the export: the individual performances read as their
// swimmers (in export order) and their performances (in table order), the
// relay performances with their count, and the swimmer lookups.
#pragma once

#include <string>

#include "perf_export/export_run.h"
#include "shared/record_layouts.h"
#include "shared/statement.h"

namespace couloir::plessaud {

// Columns of the swimmers query, in order: the club, then the licence row.
enum SwimmerColumn { kSwmClub, kSwmIntitule, kSwmLicence, kSwmCodeUnique = kSwmLicence + 16, kSwmNum };

// Columns of the individual performances query, in order.
enum PerformanceColumn { kPrfNum, kPrfEpreuve, kPrfBassin, kPrfDatePerf, kPrfTemps, kPrfLieu, kPrfCodifFede,
                         kPrfCodifInter, kPrfCodifReg, kPrfCodifDepart, kPrfPassageRelais };

// Columns of the relay export query, in order.
enum RelayColumn { kRelClub, kRelIntitule, kRelEpreuve, kRelSexe, kRelLibelle, kRelEquipe, kRelBassin, kRelDatePerf,
                   kRelTemps, kRelLieu, kRelRelayeur1, kRelCodifFede = kRelRelayeur1 + kRelayerSlots, kRelCodifInter,
                   kRelCodifReg, kRelCodifDepart };

// Columns of the relayer lookup, in order: the licence row, then its club's name.
enum RelayerColumn { kRlyClub, kRlyLicence, kRlyCodeUnique = kRlyClub + 17, kRlyIntitule };

// The swimmers whose individual performances are exported, with their club,
// by club name then licence number; a swimmer comes once per club row
// carrying his club code.
Statement swimmersQuery(const ExportScope& scope);
// Licence.Num of the same swimmers, in no order.
Statement swimmerNumsQuery(const ExportScope& scope);
// The individual performances of those swimmers, in table order; with every
// club, the whole history, read without an index.
Statement performancesQuery(const ExportScope& scope);

Statement relayCountQuery(const ExportScope& scope);
// The relay performances, by club name then event.
Statement relayRowsQuery(const ExportScope& scope);

// The licence row and club name of the swimmer whose Licence.Num is given.
Statement relayerQuery(const std::string& num);

}  // namespace couloir::plessaud
