// The file steps of the results import, in the order the sequence runs them.
// Each reads the working copy of its file; a step returning false makes the
// sequence cancel the import, except where the sequence ignores the result.
#pragma once

#include "results_import/import_context.h"

namespace couloir::ombrelay {

// rcomp.txt: the competition header; updates Rcomp and keeps venue, pool,
// codifications and dates in the context.
bool importHeaderFile(ImportContext& context);
// relais.txt: relay compositions into colCompositionsRelais / colAgesPremierRelayeur.
void ImporterRelais(ImportContext& context, double increment);
// categori.txt: age categories into Categori.
bool importCategoriesFile(ImportContext& context, double increment);
// pcomp.txt: the programme into Pcomp and tabDatesNages.
bool importProgrammeFile(ImportContext& context, double increment);
// prres.txt: results, performance history and points.
bool ImporterResultats(ImportContext& context, double increment);
// engag.txt: team numbers of the result rows.
bool MajEquipes(ImportContext& context, double increment);

}  // namespace couloir::ombrelay
