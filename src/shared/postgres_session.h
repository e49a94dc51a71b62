// One connection to a PostgreSQL server as the calls use it: statements sent
// in round trips (libpq's pipeline mode), each one under a savepoint inside a
// call so that a failing statement is undone alone and the call goes on;
// each statement text prepared once per connection; a COPY sent without
// waiting; the server's errors as ours.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shared/error.h"
#include "shared/pq_handles.h"
#include "shared/statement.h"

namespace couloir {

// Opens a connection (UTF-8, the server's notices silenced); an error names
// the server without its password.
PgConnection connectToServer(const std::string& uri);
// Whether the connected database holds the club tables.
bool holdsClubTables(PGconn* connection);

class PgSession {
public:
    explicit PgSession(const std::string& uri);

    PGconn* connection() const { return connection_.get(); }
    // The database as messages name it.
    const std::string& name() const { return name_; }
    bool inTransaction() const;

    // Runs a statement, prepared at its text's first run on this connection.
    PgResult run(const Statement& statement);
    // Whether the statement's text is prepared on this connection: a batch
    // (runBatch) only takes statements that are.
    bool isPrepared(const Statement& statement) const;
    // Runs prepared statements in one round trip, under one savepoint, and
    // gives each one's changed rows to `done`, in order. When one fails, the
    // savepoint is rolled back, those before it are run again the same way,
    // and its error is thrown; those after it are not run.
    void runBatch(const std::vector<const Statement*>& statements,
                  const std::function<void(std::size_t, std::int64_t)>& done);
    // Declares `cursor` over a query and fetches its first batch (`fetch`)
    // in the same round trip.
    PgResult openCursor(const Statement& query, const std::string& cursor, const std::string& fetch);
    // A statement of the engine's own without values, under the savepoint.
    PgResult runOwn(const std::string& sql);
    // Closes a cursor on the way of the next round trip.
    void closeLater(const std::string& cursor) { closing_.push_back("CLOSE " + cursor); }
    // Statements of the engine's own sent in one round trip, without a
    // savepoint (the start of a transaction): their results, failed or not.
    std::vector<PgResult> exchangeOwn(const std::vector<std::string>& statements);
    // A statement of the engine's own, alone, outside the savepoints.
    void simple(const std::string& sql);
    // Commits; a transaction the server turned into a rollback is a failure.
    void commit();
    // Ends the transaction (if any) undoing it; a COPY under way goes with it.
    void rollback();

    // Sends rows by COPY (`statement` is "COPY t (columns) FROM STDIN")
    // without waiting for the server to store them: the next use of the
    // connection does. Outside a call the rows are stored before it returns.
    void copy(const std::string& statement, const std::string& data);
    // Waits for the COPY sent last to be stored.
    void awaitCopy();
    // A call whose rows failed to go is unusable until it ends: its rows were
    // reported appended, so it can only fail.
    void checkUsable() const {
        if (broken_) throw *broken_;
    }

    Error resultError(const PGresult* result, std::string_view statement) const;

private:
    struct Command;
    std::optional<PgResult> attempt(std::vector<Command> commands, const Statement& statement, bool mayRetype);
    PgResult guarded(std::vector<Command> commands, const Statement& statement);
    std::vector<PgResult> exchange(const std::vector<Command>& commands);
    void leavePipeline();
    [[noreturn]] void breakCall(const Error& error);
    Error lostConnection() const;

    PgConnection connection_;
    std::string name_;
    // Statement text and value types → the name of its prepared statement.
    std::unordered_map<std::string, std::string> prepared_;
    std::int64_t statements_ = 0;
    bool pipelined_ = false;  // the connection is in libpq's pipeline mode
    bool copyInFlight_ = false;
    std::string copyStatement_;
    std::optional<Error> broken_;
    std::vector<std::string> closing_;  // CLOSE of the cursors of ended walks
};

}  // namespace couloir
