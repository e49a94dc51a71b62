// Walks over a query's rows on a PostgreSQL server. Inside a call the rows
// come from a cursor, a batch at a time, so that a walk over a million rows
// holds one batch and the walk's handler may run statements of its own
// between batches; the first batch comes with the declaration, and the
// cursor is closed on the way of the next round trip. Outside a call, and
// for a walk inside another, the whole result comes in one round trip.
#pragma once

#include <cstdint>
#include <functional>

#include "shared/database.h"
#include "shared/postgres_session.h"

namespace couloir {

class PgWalks {
public:
    explicit PgWalks(PgSession& session) : session_(session) {}

    void forEachRow(const Statement& query, const std::function<bool(const Row&)>& onRow);

private:
    PgSession& session_;
    std::int64_t walks_ = 0;
    int walking_ = 0;  // walks under way
};

// One row of a result, read as SQLite gives it.
class PgRow final : public Row {
public:
    PgRow(const PGresult* result, int row) : result_(result), row_(row) {}
    int fieldCount() const override { return PQnfields(result_); }
    bool isNull(int index) const override { return PQgetisnull(result_, row_, index); }
    std::string text(int index) const override;
    std::string fieldName(int index) const override { return PQfname(result_, index); }

private:
    const PGresult* result_;
    int row_;
};

}  // namespace couloir
