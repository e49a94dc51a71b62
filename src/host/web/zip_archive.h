// A set of files written as one zip archive, for a single download.
#pragma once

#include <string>
#include <vector>

namespace couloir::host::web {

// Writes `archive` holding the files of `folder` named in `names`, stored
// under those names; throws with a French message when libzip fails.
void writeZip(const std::string& archive, const std::string& folder, const std::vector<std::string>& names);

}  // namespace couloir::host::web
