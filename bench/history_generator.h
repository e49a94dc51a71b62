// A large performance history for load tests of the export: clubs, their
// swimmers, and individual and relay performances written straight into a
// club database, in an order unrelated to the swimmers (as years of imports
// leave them). Deterministic for a given size and seed.
#pragma once

#include <cstdint>
#include <string>

namespace couloir::bench {

struct HistorySize {
    int swimmers = 60000;
    int performances = 1000000;  // individual and relay together
    int relayPercent = 5;        // share of relay performances
    int swimmersPerClub = 40;
};

struct HistoryCounts {
    int clubs = 0, swimmers = 0, individual = 0, relays = 0;
};

// Fills `database`, a new club database (couloir init-db).
HistoryCounts generateHistory(const std::string& database, const HistorySize& size, std::uint64_t seed);

}  // namespace couloir::bench
