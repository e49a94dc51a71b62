// What one public call works with: its trace, the host form and the database
// connection, created at the start of the call and released at its end.
#pragma once

#include "shared/connection.h"
#include "shared/progress.h"
#include "shared/trace.h"

namespace couloir {

class StagedOutput;

struct Session {
    Trace& trace;
    Form& form;
    Connection& connection;
    // Where a writing call puts its files until they are delivered; null for an import.
    StagedOutput* output = nullptr;

    Database& db() { return connection.db(); }
};

// What every library's run state starts with: the call's session, and the
// short ways to its parts. A library's state adds only what is its own.
struct CallState {
    explicit CallState(Session& s) : session(s) {}

    Session& session;

    Trace& trace() const { return session.trace; }
    Form& form() const { return session.form; }
    Database& db() const { return session.db(); }
};

}  // namespace couloir
