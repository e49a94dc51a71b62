// Where an installed Couloir keeps its parts, as paths from one part to the
// next, so that a tree installed anywhere (a package under /usr, a scratch
// root, a copied folder) finds its components and data without being told.
#pragma once

namespace couloir {

// From the folder of the couloir program to the components' folder
// ("../lib/x86_64-linux-gnu/couloir" for a tree installed under /usr).
const char* componentsFromProgram();

// From the components' folder to the folder of Couloir's data
// ("../../../share/couloir").
const char* dataFromComponents();

}  // namespace couloir
