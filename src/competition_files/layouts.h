// The record layout of the one file only this library writes; the others
// are the shared layouts that their readers use too.
#pragma once

#include "shared/record_layouts.h"

namespace couloir::vandrule {

// Nage.txt, 29 characters.
enum NageField { kNageCode, kNageLibelle, kNageDistance, kNageNageurs, kNageMixte };
inline const Widths kNageWidths = {2, 20, 4, 2, 1};

}  // namespace couloir::vandrule
