// The outside points component "Calcul_Point.ClsCalcul": the points of a swim
// from its event code and time.
#pragma once

#include <functional>
#include <string>

namespace couloir::ombrelay {

// Points of a swim (event code, time) as the component writes them; a
// component that cannot compute raises an Error.
using PointsCalculator = std::function<std::string(double eventCode, double time)>;
// How the results step obtains its points component at its start.
using PointsCalculatorFactory = std::function<PointsCalculator()>;

// Finds the component's CalculPoint entry point; the "cannot create object"
// error when the component library or the entry point is missing.
PointsCalculator createPointsCalculator();

}  // namespace couloir::ombrelay
