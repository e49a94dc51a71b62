// A whole club database copied into another, on either engine: every table,
// every row, counters included, in one transaction on the target.
#pragma once

#include <functional>
#include <string>

namespace couloir::host {

struct CopySummary {
    std::size_t tables = 0;
    std::size_t rows = 0;
};

// Copies `from` into `to`, a club database that holds nothing more than a
// new one (`newDatabaseScript` makes one, to compare with): its rows are
// replaced. `onTable` is told each table copied and its rows. Throws an
// Error, leaving `to` as it was, when anything fails.
CopySummary copyDatabase(const std::string& from, const std::string& to, const std::string& newDatabaseScript,
                         const std::function<void(const std::string&, std::size_t)>& onTable);

}  // namespace couloir::host
