// The rows a call appends on a PostgreSQL server: held and sent by COPY in
// batches, one per table and columns (a step that appends to two tables in
// turn, a result and its performances, fills both), their counters numbered
// here as SQLite numbers an INTEGER PRIMARY KEY (max + 1).
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
    // Whether rows are held for a table the statement may read or change.
    bool holdsRowsFor(const Statement& statement) const;
    // A statement changed the table: its counter is read again at its next row.
    void forgetCounter(std::string_view table) { counters_.erase(toLower(table)); }
    // The call ended: nothing held, no counter known.
    void reset();

private:
    // The rows appended and not yet sent of one table and columns.
    struct Batch {
        std::string table;                        // in lower case
        std::vector<std::string> columns;         // as the rows name them
        std::string numbered;                     // the counter numbered here, if any
        std::optional<std::size_t> givenCounter;  // the field giving the counter, if any
        std::string copy, data;                   // the COPY statement, its lines
        std::size_t rows = 0;
    };

    static std::string toLower(std::string_view table);
    static bool appendsTo(const Batch& batch, std::string_view table, const Fields& fields);
    Batch& batchFor(std::string_view table, const Fields& fields);
    Batch startAppends(std::string_view table, const Fields& fields);
    std::int64_t nextCounter(const std::string& table, const std::string& column);
    // Which column numbers each table's rows, read from the schema at the first append.
    const std::unordered_map<std::string, std::string>& counterColumns();

    PgSession& session_;
    std::optional<std::unordered_map<std::string, std::string>> counterColumns_;  // table → its counter column
    std::unordered_map<std::string, std::int64_t> counters_;       // table → next counter, within the call
    std::vector<Batch> batches_;
    std::size_t last_ = 0;         // the batch the last row went to
    std::size_t heldBytes_ = 0;    // of every batch's lines
};

}  // namespace couloir
