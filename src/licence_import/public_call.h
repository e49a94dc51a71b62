// The frame around the sequence of each public method of the licence
// library: the trace and its opening line, the source drive check, the
// connection to the club database and its proper close.
#pragma once

#include <functional>
#include <string>

#include "couloir/couloir.h"
#include "shared/session.h"

namespace couloir::korvenna {

struct PublicCall {
    std::string tracePath, database, sourceDir;
    const couloir_form* form = nullptr;
    // Written above the error text when the database cannot be opened.
    std::string connectionFailure;
};

// Opens the trace, checks the source drive, connects, runs `sequence`,
// disconnects and closes the trace. The result is the sequence's; false when
// the frame stopped before it, when the trace cannot be created, or when an
// error escaped the sequence (its text is then written to the trace).
bool runPublicCall(const PublicCall& call, const std::function<bool(Session&)>& sequence);

// A C string argument as text; a null pointer reads as the empty text.
std::string text(const char* value);

}  // namespace couloir::korvenna
