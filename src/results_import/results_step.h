// The results step with the points component supplied by the caller;
// ImporterResultats (steps.h) runs it with the outside component.
#pragma once

#include "results_import/import_context.h"
#include "results_import/points_client.h"

namespace couloir::ombrelay {

bool ImporterResultats(ImportContext& context, double increment, const PointsCalculatorFactory& createCalculator);

}  // namespace couloir::ombrelay
