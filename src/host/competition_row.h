// The host creates a competition's Rcomp row before a new competition is
// imported, as the results library expects of its host.
#pragma once

#include <string>

namespace couloir::host {

enum class CompetitionRow { Present, Created, Missing, Unchecked };

// Looks for the Rcomp row of `number`, creating it when `create` is set.
// Unchecked when the database cannot be read: the import then reports that.
CompetitionRow prepareCompetitionRow(const std::string& database, const std::string& number, bool create);

}  // namespace couloir::host
