// Creates classes by programmatic identifier ("Ombrelay.clsOmbrelay"): finds
// the component library (libOmbrelay.so, Ombrelay.dll on Windows) in the
// folders of COULOIR_COMPONENTS (separated by colons, semicolons on Windows), else beside the component asking, in the installed
// components' folder, or beside the host; loads it and resolves a method's
// entry point (Ombrelay_clsOmbrelay_bimport_result).
#pragma once

#include <string>
#include <vector>

namespace couloir {

// The folders searched for component libraries, in order.
std::vector<std::string> componentFolders();

// A data file of the components (base_times.txt): beside the component
// library that asks (a build tree), else in Couloir's installed data folder.
std::string componentsDataFile(const std::string& name);

// The entry point of `method` of the class `progId`; throws the "cannot
// create object" error when the library or the entry point cannot be found.
void* resolveMethod(const std::string& progId, const std::string& method);

// What couloir_version() of the component library `library` ("Ombrelay")
// returns; the "cannot create object" error when it cannot be found.
std::string componentVersion(const std::string& library);

}  // namespace couloir
