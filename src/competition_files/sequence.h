// The eight file steps in their fixed order, each shown on the host form.
#pragma once

#include "competition_files/creation_state.h"

namespace couloir::vandrule {

// True when every file was written; the first failing step cancels the rest.
bool bEnchainerCreation(CreationState& state);

}  // namespace couloir::vandrule
