// The one narrow interface between the libraries and the SQL engine. The
// statements are the text the libraries build (count(*), First(...), table
// aliases) with their values beside it; an engine binds the values and runs
// the text unchanged. Every failure is an Error carrying the engine's code
// and message, and the statement with its values written in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shared/statement.h"

namespace couloir {

// tabColonnes: a query result as one list of texts per column, in row order.
// A query with no row leaves every column without a list (empty here).
struct Columns {
    std::vector<std::vector<std::string>> lists;

    bool hasRows() const { return !lists.empty() && !lists[0].empty(); }
    std::size_t rowCount() const { return lists.empty() ? 0 : lists[0].size(); }
    // Value of column `column` in row `row` (both 0-based).
    const std::string& at(std::size_t column, std::size_t row) const { return lists.at(column).at(row); }
};

// How a Null read as text comes back: as an error, or as the empty text.
enum class NullText { Error, Empty };

// One row of a forward-only read: fields by index as text.
class Row {
public:
    virtual ~Row() = default;
    virtual int fieldCount() const = 0;
    virtual bool isNull(int index) const = 0;
    virtual std::string text(int index) const = 0;
    virtual std::string fieldName(int index) const = 0;
};

class Database {
public:
    virtual ~Database() = default;

    // Runs a statement; returns the number of rows it inserted, updated or deleted.
    virtual std::int64_t execute(const Statement& statement) = 0;
    // Runs a statement whose answer its caller can take later: `changed` is
    // given the rows it inserted, updated or deleted once it has run, in the
    // order of the calls, at the latest by flushDeferred() or by the next
    // call that is not deferred. An engine that waits for each answer anyway
    // (SQLite) runs it at once; a server's engine sends them in batches. When
    // one fails, those before it have had their answers, the failure is
    // thrown by the call that ran it, and those after it are dropped unrun.
    virtual void executeDeferred(const Statement& statement, const std::function<void(std::int64_t)>& changed) {
        changed(execute(statement));
    }
    // Runs the deferred statements not run yet.
    virtual void flushDeferred() {}
    // Field 0 of the first row as a 32-bit integer; no row or Null is an error.
    virtual std::int32_t lValeurScalaire(const Statement& statement) = 0;
    // The whole result as per-column text lists.
    virtual Columns ChargerColonnes(const Statement& statement) = 0;
    // Calls `onRow` for each row; returning false stops the walk.
    virtual void forEachRow(const Statement& statement, const std::function<bool(const Row&)>& onRow) = 0;
    // Appends a row to a table and returns its new counter (`Num`). The
    // table and column names must be plain identifiers.
    virtual std::int64_t appendRow(std::string_view table,
                                   const std::vector<std::pair<std::string, FieldValue>>& fields) = 0;
    // The database's tables, by name.
    virtual std::vector<std::string> tableNames() = 0;

    // One transaction at a time. A write transaction takes the database's
    // write lock at once, waiting for another writer as long as the options
    // say, so that two calls never interleave; a read transaction sees one
    // state of the database throughout. Outside a transaction every
    // statement is its own.
    enum class Lock { Write, Read };
    virtual void begin(Lock lock) = 0;
    // Makes the open transaction durable; nothing to do when none is open.
    virtual void commit() = 0;
    // Undoes the open transaction; nothing to do when none is open.
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;
};

// Seconds a call waits for another program's write lock: COULOIR_BUSY_TIMEOUT,
// 30 by default. A value that is not a whole number of seconds from 0 to
// 86,400 is an error naming the variable, never silently replaced.
int busyTimeoutSeconds();

struct DatabaseOptions {
    NullText nullText = NullText::Error;
    int busyTimeoutSeconds = couloir::busyTimeoutSeconds();
};

// A database is named by a file path (SQLite) or by a PostgreSQL connection
// URI (postgresql://user@host:port/dbname, also postgres://; the password
// from PGPASSWORD or ~/.pgpass).
bool isServerDatabase(std::string_view name);
// The name as messages show it: a URI without its password.
std::string displayName(std::string_view name);

// Opens an existing club database; a missing file, an empty one or any
// database that is not a club database is an error and stays as it was.
std::unique_ptr<Database> openDatabase(const std::string& path, const DatabaseOptions& options);

// Creates a new club database with `script` (written for SQLite; translated
// for a server): a file readable by its owner only, never overwriting one, or
// the tables of an empty server database, refusing one that holds them.
void createDatabase(const std::string& path, std::string_view script);

// The value of a scalar query's field as the 32-bit integer lValeurScalaire
// returns: numbers rounded half to even, a text only when it reads as a number.
std::int32_t scalarValue(std::string_view text, bool numeric);

}  // namespace couloir
