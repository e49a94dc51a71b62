// What generated files need from the reference rows of a club database:
// club codes that pass the codification check, and the events of the Nage
// table with their distances, swimmers and sex.
#pragma once

#include <string>
#include <vector>

namespace couloir::bench {

// The n-th of a series of distinct, valid club codes (n from 0): French
// clubs spread over the departments of the codification, never a selection.
std::string clubCode(int n);
// How many distinct codes clubCode gives.
int clubCodeCount();

struct Event {
    int code;
    int distance;  // metres each swimmer covers
    int swimmers;  // 1 for an individual event
    char sex;      // 'F', 'M', or 'X' for a mixed relay
};

// Every event of the Nage table.
const std::vector<Event>& allEvents();

}  // namespace couloir::bench
