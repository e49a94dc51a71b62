// The competition a results or skeleton import works on, as the host sees it
// before the call, and the host's own statement that creates its row inside
// the call's transaction.
#pragma once

#include <string>

namespace couloir::host {

enum class CompetitionState {
    Missing,     // no Rcomp row
    Empty,       // a row without anything imported under its number
    Imported,    // results, performances, programme or categories under its number
    Unreadable,  // the database cannot be read: the library reports it
};

CompetitionState competitionState(const std::string& database, const std::string& number);

// Creates the competition's Rcomp row when it is absent.
std::string competitionRowStatement(const std::string& number);

}  // namespace couloir::host
