// The swimmers stored under several rows, as the hosts show them: the groups
// the finder makes of the club database, with what each row holds (its
// results, performances and relay legs), for the terminal, the report and
// the web page alike.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "shared/duplicate_swimmers.h"

namespace couloir {
class Database;
}

namespace couloir::host {

// The rows of the history that name a swimmer.
struct Holdings {
    long long results = 0, performances = 0, relayLegs = 0;
};

struct DuplicateListing {
    DuplicateFinder finder;
    std::vector<DuplicateGroup> groups;
    std::map<std::int64_t, Holdings> holdings;  // of the groups' members
};

// Reads the swimmers and what the groups' members hold, in the caller's transaction.
DuplicateListing listDuplicates(Database& db);

// The listing as the report's `duplicates` section and the page's JSON.
nlohmann::ordered_json duplicatesJson(const DuplicateListing& listing);

// The listing in French, for the terminal.
std::string duplicatesText(const DuplicateListing& listing);

}  // namespace couloir::host
