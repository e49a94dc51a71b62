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

inline constexpr int kEventCount = 100;

// A shorter event read from a split: its event code and the split number.
// Codes 101 to 112 stand for the event 100 below (women) or 50 below (men),
// by the sex of a relay's first swimmer.
struct DerivedEvent {
    int event;
    int split;
};
using DerivedEventTable = std::array<std::vector<DerivedEvent>, kEventCount>;

// The derived events of every event code 0 to 99, in the order they are written.
DerivedEventTable ChargerSousEpreuves();

// The programme day of each event as "yyyymmdd", converted from the long
// form on first use.
class ProgrammeDays {
public:
    explicit ProgrammeDays(const std::array<std::string, kEventCount>& longDates) : longDates_(longDates) {}
    // Empty for an event outside the programme; a long date that is no date
    // is a type-mismatch error.
    const std::string& day(int event);

private:
    const std::array<std::string, kEventCount>& longDates_;
    std::array<std::string, kEventCount> days_;
    std::array<bool, kEventCount> converted_{};
};

// Writes the performances of one line whose result row is stored. Overwrites
// fields 7 and 8 and the resolved values when it turns to a relay's first
// swimmer. False, reported with the line number, on any error, an event code
// outside 0 to 99 included.
bool bInsererPerformances(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line,
                          const DerivedEventTable& tabSousEpreuves, ProgrammeDays& days);

}  // namespace couloir::ombrelay
