// The rows a call appends on a PostgreSQL server: held and sent by COPY in
// batches of one table and columns, their counters numbered here as SQLite
// numbers an INTEGER PRIMARY KEY (max + 1).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "shared/postgres_session.h"

namespace couloir {

class PgAppender {
public:
    using Fields = std::vector<std::pair<std::string, FieldValue>>;

    explicit PgAppender(PgSession& session) : session_(session) {}

    // Holds a row (sent at once outside a call) and gives its counter.
    std::int64_t append(std::string_view table, const Fields& fields);
    // Sends the rows held, if any, without waiting for the server to store them.
    void flush();
    bool holdsRows() const { return pending_.rows > 0; }
    // The table of the rows held, in lower case.
    const std::string& heldTable() const { return pending_.table; }
    // A statement changed the table: its counter is read again at its next row.
    void forgetCounter(std::string_view table) { counters_.erase(toLower(table)); }
    // The call ended: nothing held, no counter known.
    void reset();

private:
    static std::string toLower(std::string_view table);
    bool appendsTo(std::string_view table, const Fields& fields) const;
    void startAppends(std::string_view table, const Fields& fields);
    std::int64_t nextCounter(const std::string& table, const std::string& column);
    // Which column numbers each table's rows, read from the schema at the first append.
    const std::unordered_map<std::string, std::string>& counterColumns();

    PgSession& session_;
    std::optional<std::unordered_map<std::string, std::string>> counterColumns_;  // table → its counter column
    std::unordered_map<std::string, std::int64_t> counters_;       // table → next counter, within the call
    // The rows appended and not yet sent, all of one table and columns.
    struct {
        std::string table;                        // in lower case
        std::vector<std::string> columns;         // as the rows name them
        std::string numbered;                     // the counter numbered here, if any
        std::optional<std::size_t> givenCounter;  // the field giving the counter, if any
        std::string copy, data;                   // the COPY statement, its lines
        std::size_t rows = 0;
    } pending_;
};

}  // namespace couloir
