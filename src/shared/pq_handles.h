// Owners of libpq's handles: a connection is finished and a result cleared
// when their owner goes, whatever the path out.
#pragma once

#include <libpq-fe.h>

#include <memory>

namespace couloir {

struct PgConnectionCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using PgConnection = std::unique_ptr<PGconn, PgConnectionCloser>;

struct PgResultClearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultClearer>;

}  // namespace couloir
