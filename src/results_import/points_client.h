// The outside points component "Calcul_Point.ClsCalcul": the points of a swim
// from its event code and time.
#pragma once

#include <functional>
#include <string>

namespace couloir::ombrelay {

// Points of a swim (event code, time) as the component writes them; a
// component that cannot compute raises an Error.
using CalculPoint = std::function<std::string(double codeEpreuve, double temps)>;
// How the results step obtains its points component at its start.
using CreerCalculPoint = std::function<CalculPoint()>;

// Finds the component's CalculPoint entry point; the "cannot create object"
// error when the component library or the entry point is missing.
CalculPoint creerCalculPoint();

}  // namespace couloir::ombrelay
