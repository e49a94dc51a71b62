// What one public call works with: its trace, the host form and the database
// connection, created at the start of the call and released at its end.
#pragma once

#include "shared/connection.h"
#include "shared/progress.h"
#include "shared/trace.h"

namespace couloir {

struct Session {
    Trace& trace;
    Form& form;
    Connection& connection;

    Database& db() { return connection.db(); }
};

}  // namespace couloir
