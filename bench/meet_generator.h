// A large, valid meet for load tests: the nine files of a results import,
// consistent with one another and with the reference rows of a new club
// database. Deterministic for a given size and seed.
#pragma once

#include <cstdint>
#include <filesystem>

namespace couloir::bench {

struct MeetSize {
    int licences = 8000;         // swimmers in licence.txt (relay pseudo-licences come on top)
    int results = 25000;         // lines of prres.txt, one in 25 a relay
    int swimmersPerClub = 40;    // at least 16, so that every club can field its relays
};

struct MeetCounts {
    int clubs = 0, licences = 0, relays = 0, results = 0, entries = 0;
};

// Writes origine, rcomp, pcomp, categori, club, licence, relais, prres and
// engag .txt into `folder` (created when missing).
MeetCounts generateMeet(const std::filesystem::path& folder, const MeetSize& size, std::uint64_t seed);

}  // namespace couloir::bench
