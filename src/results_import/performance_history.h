// The performance history written from the results: each valid swim in
// Liffn or Liffn_relais, the shorter distances read from its split times,
// and a relay's first leg as an individual performance of its first swimmer.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "results_import/import_context.h"
#include "results_import/result_line.h"
#include "results_import/result_rows.h"

namespace couloir::ombrelay {

inline constexpr int kNombreEpreuves = 100;

// A shorter event read from a split: its event code and the split number.
// Codes 101 to 112 stand for the event 100 below (women) or 50 below (men),
// by the sex of a relay's first swimmer.
struct SousEpreuve {
    int epreuve;
    int inter;
};
using TableSousEpreuves = std::array<std::vector<SousEpreuve>, kNombreEpreuves>;

// The derived events of every event code 0 to 99, in the order they are written.
TableSousEpreuves ChargerSousEpreuves();

// The programme day of each event as "yyyymmdd", converted from the long
// form on first use.
class JoursProgramme {
public:
    explicit JoursProgramme(const std::array<std::string, kNombreEpreuves>& datesLongues)
        : datesLongues_(datesLongues) {}
    // Empty for an event outside the programme; a long date that is no date
    // is a type-mismatch error.
    const std::string& jour(int epreuve);

private:
    const std::array<std::string, kNombreEpreuves>& datesLongues_;
    std::array<std::string, kNombreEpreuves> jours_;
    std::array<bool, kNombreEpreuves> convertis_{};
};

// Writes the performances of one line whose result row is stored. Overwrites
// fields 7 and 8 and the resolved values when it turns to a relay's first
// swimmer. False, reported with the line number, on any error, an event code
// outside 0 to 99 included.
bool bInsererPerformances(ImportContext& context, long numeroLigne, ChampsResultat& champs, LigneResolue& ligne,
                          const TableSousEpreuves& sousEpreuves, JoursProgramme& jours);

}  // namespace couloir::ombrelay
