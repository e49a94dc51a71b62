// merge-swimmers: one swimmer stored under two rows of Licence made one. In a
// single call (its trace, dry run, events and transaction), every row that
// names the merged swimmer moves to the kept one, the kept one's empty fields
// are filled from the merged one's, and the merged row goes.
#pragma once

#include <string>

#include "couloir/couloir.h"

namespace couloir::host {

// `keep` and `merged` are Licence.Num. False, with the reason in the trace
// and nothing changed, when the merge is refused or fails.
bool mergeSwimmers(const std::string& database, const std::string& keep, const std::string& merged,
                   const std::string& tracePath, const couloir_form* form);

}  // namespace couloir::host
