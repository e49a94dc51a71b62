// The two step sequences of the results library, the cancellation purge and
// the post-import fix-ups.
#pragma once

#include "results_import/import_context.h"

namespace couloir::ombrelay {

bool bEnchainerImportResultats(ImportContext& context);
bool bEnchainerImportSquelette(ImportContext& context);
// Deletes what an import of the competition wrote: the competition row itself
// for a new competition, else its results, performances and programme.
bool SupprimerAnciennesDonnees(ImportContext& context);

}  // namespace couloir::ombrelay
