// A small competition written as interchange files: two clubs, five
// swimmers, two individual events and one relay, for the import tests.
#pragma once

#include <string>
#include <vector>

namespace couloir::test {

struct MeetFiles {
    std::vector<std::string> origine, rcomp, pcomp, categori, club, licence, relais, prres, engag;
};

// The whole meet, every line at its full record length.
MeetFiles smallMeet();
// Writes the nine files into `folder` (Windows-1252, CR LF).
void writeMeet(const std::string& folder, const MeetFiles& meet);

// Record builders, one argument per field, padded to the field widths.
std::string clubLine(const std::string& code, const std::string& label);
std::string licenceLine(const std::string& club, const std::string& licence, const std::string& surname,
                        const std::string& firstName, const std::string& sex, const std::string& birth);
std::string relayLine(const std::string& event, const std::string& club, const std::string& relayCode,
                      const std::vector<std::string>& relayers);
std::string resultLine(const std::string& event, const std::string& race, const std::string& heat,
                       const std::string& club, const std::string& licence, const std::string& time,
                       const std::vector<std::string>& splits, const std::string& points = "");
std::string entryLine(const std::string& event, const std::string& club, const std::string& licence,
                      const std::string& team);

}  // namespace couloir::test
