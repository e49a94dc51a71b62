// A large performance file for load tests of the performance import:
// liffn.txt with the club.txt and licence.txt that come with it, as the
// performance export writes them (individual performances by club and
// licence, then the relays). Deterministic for a given size and seed.
#pragma once

#include <cstdint>
#include <filesystem>

namespace couloir::bench {

struct PerformanceSize {
    int swimmers = 60000;
    int performances = 1000000;  // individual and relay together
    int relayPercent = 10;       // share of relay performances
    int swimmersPerClub = 40;    // at least 8, so that every club can field its relays
};

struct PerformanceCounts {
    int clubs = 0, swimmers = 0, individual = 0, relays = 0;
};

// Writes origine.txt, club.txt, licence.txt and liffn.txt into `folder`
// (created when missing).
PerformanceCounts generatePerformances(const std::filesystem::path& folder, const PerformanceSize& size,
                                       std::uint64_t seed);

}  // namespace couloir::bench
