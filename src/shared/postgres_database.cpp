// The club database on a PostgreSQL server, through libpq: a session that
// runs the statements (each text prepared once, its values bound), an
// appender that sends appended rows by COPY, and the walks over a query's
// rows. Inside a call every statement runs under a savepoint, so that a
// failing one is undone alone and the call goes on, as on SQLite. A write
// call holds a transaction-level advisory lock on the database from its start.
#include <cstdlib>
#include <cstring>

#include "shared/database_engines.h"
#include "shared/error.h"
#include "shared/postgres_appender.h"
#include "shared/postgres_schema.h"
#include "shared/postgres_session.h"
#include "shared/postgres_values.h"
#include "shared/postgres_walks.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

// The advisory lock a write call holds ("Couloir" in ASCII); advisory locks
// are per database, so calls on other databases of the server never wait.
constexpr std::int64_t kCallLock = 0x436f756c6f6972;

// Deferred statements sent in one round trip: enough that the wait for the
// answers is a small part of the server's work.
constexpr std::size_t kDeferredBatch = 512;

class PostgresDatabase final : public Database {
public:
    PostgresDatabase(const std::string& uri, const DatabaseOptions& options)
        : session_(uri), appender_(session_), walks_(session_), options_(options) {
        if (!holdsClubTables(session_.connection())) throw errors::unrecognizedDatabase(session_.name());
    }

    std::int64_t execute(const Statement& statement) override {
        flushDeferred();
        PgResult result = run(statement);
        const char* changed = PQcmdTuples(result.get());
        return *changed ? std::strtoll(changed, nullptr, 10) : 0;
    }

    // A statement whose text is prepared waits in the batch; one that is
    // not runs alone, after the batch, to be prepared and typed.
    void executeDeferred(const Statement& statement, const std::function<void(std::int64_t)>& changed) override {
        if (!session_.isPrepared(statement)) {
            changed(execute(statement));
            return;
        }
        beforeStatement(statement);
        deferred_.push_back({statement, changed});
        if (deferred_.size() >= kDeferredBatch) flushDeferred();
    }

    void flushDeferred() override {
        if (deferred_.empty()) return;
        std::vector<Deferred> batch = std::move(deferred_);
        deferred_.clear();
        std::vector<const Statement*> statements;
        statements.reserve(batch.size());
        for (const Deferred& item : batch) statements.push_back(&item.statement);
        session_.runBatch(statements, [&](std::size_t i, std::int64_t changed) { batch[i].changed(changed); });
    }

    std::int32_t lValeurScalaire(const Statement& query) override {
        flushDeferred();
        PgResult result = run(query);
        if (PQntuples(result.get()) == 0 || PQnfields(result.get()) == 0) throw errors::noCurrentRecord();
        if (PQgetisnull(result.get(), 0, 0)) throw errors::invalidNull();
        return scalarValue(PgRow(result.get(), 0).text(0), isNumericType(PQftype(result.get(), 0)));
    }

    Columns ChargerColonnes(const Statement& query) override {
        flushDeferred();
        PgResult result = run(query);
        Columns columns;
        int rows = PQntuples(result.get()), fields = PQnfields(result.get());
        if (rows == 0) return columns;
        columns.lists.resize(static_cast<std::size_t>(fields));
        for (int i = 0; i < fields; ++i) {
            auto& list = columns.lists[static_cast<std::size_t>(i)];
            list.reserve(static_cast<std::size_t>(rows));
            for (int r = 0; r < rows; ++r) {
                if (PQgetisnull(result.get(), r, i) && options_.nullText == NullText::Error) throw errors::invalidNull();
                list.push_back(PgRow(result.get(), r).text(i));
            }
        }
        return columns;
    }

    void forEachRow(const Statement& query, const std::function<bool(const Row&)>& onRow) override {
        flushDeferred();
        beforeStatement(query);
        walks_.forEachRow(query, onRow);
    }

    std::int64_t appendRow(std::string_view table,
                           const std::vector<std::pair<std::string, FieldValue>>& fields) override {
        flushDeferred();
        return appender_.append(table, fields);
    }

    std::vector<std::string> tableNames() override {
        flushDeferred();
        std::vector<std::string> names;
        PgResult result = run(Statement(
            "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
            "AND table_type = 'BASE TABLE' ORDER BY table_name"));
        for (int r = 0; r < PQntuples(result.get()); ++r) names.emplace_back(PQgetvalue(result.get(), r, 0));
        return names;
    }

    void begin(Lock lock) override {
        deferred_.clear();
        if (inTransaction()) throw Error(errors::kInvalidCall, "Une transaction est déjà ouverte sur " + session_.name());
        appender_.reset();
        if (lock == Lock::Read) {
            session_.simple("BEGIN ISOLATION LEVEL REPEATABLE READ");
            return;
        }
        // The wait for another call's lock is bounded by lock_timeout; no wait
        // at all is a single try.
        int seconds = options_.busyTimeoutSeconds;
        std::string lockStatement = seconds > 0 ? "SELECT pg_advisory_xact_lock(" + std::to_string(kCallLock) + ")"
                                                : "SELECT pg_try_advisory_xact_lock(" + std::to_string(kCallLock) + ")";
        std::vector<PgResult> results =
            session_.exchangeOwn({"BEGIN", "SET LOCAL lock_timeout = '" + std::to_string(seconds) + "s'", lockStatement});
        for (const PgResult& result : results) {
            ExecStatusType status = PQresultStatus(result.get());
            if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) continue;
            const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
            bool timedOut = state && std::strcmp(state, "55P03") == 0;
            Error error = session_.resultError(result.get(), lockStatement);
            session_.simple("ROLLBACK");
            if (timedOut) throw errors::databaseInUse(session_.name(), seconds);
            throw error;
        }
        if (seconds == 0 && std::strcmp(PQgetvalue(results[2].get(), 0, 0), "t") != 0) {
            session_.simple("ROLLBACK");
            throw errors::databaseInUse(session_.name(), seconds);
        }
    }

    void commit() override {
        if (!inTransaction()) return;
        try {
            flushDeferred();
            session_.checkUsable();
            appender_.flush();
            session_.awaitCopy();
        } catch (...) {
            rollback();
            throw;
        }
        appender_.reset();
        session_.commit();
    }

    void rollback() override {
        deferred_.clear();  // undone with the rest
        appender_.reset();
        session_.rollback();
    }

    bool inTransaction() const override { return session_.inTransaction(); }

private:
    // Rows held for COPY go before any statement that may read their table
    // (any statement that does not say which tables it reads); a statement
    // that changes a table makes its counter be read again.
    void beforeStatement(const Statement& statement) {
        if (appender_.holdsRowsFor(statement)) appender_.flush();
        if (statement.target().kind != StatementTarget::Kind::None) appender_.forgetCounter(statement.target().table);
    }

    PgResult run(const Statement& statement) {
        beforeStatement(statement);
        return session_.run(statement);
    }

    struct Deferred {
        Statement statement;
        std::function<void(std::int64_t)> changed;
    };

    PgSession session_;
    std::vector<Deferred> deferred_;  // sent together, in this order
    PgAppender appender_;
    PgWalks walks_;
    DatabaseOptions options_;
};

}  // namespace

std::unique_ptr<Database> openPostgresDatabase(const std::string& uri, const DatabaseOptions& options) {
    return std::make_unique<PostgresDatabase>(uri, options);
}

void createPostgresDatabase(const std::string& uri, std::string_view script) {
    PgConnection connection = connectToServer(uri);
    if (holdsClubTables(connection.get()))
        throw Error(errors::kFileAlreadyExists, "La base " + uriForDisplay(uri) + " contient déjà une base de club");
    // One transaction: a failed creation leaves the database as it was.
    std::string text = "BEGIN;\n" + postgresScript(script) + "\nCOMMIT;";
    PgResult result(PQexec(connection.get(), text.c_str()));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
        const char* message = PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY);
        throw Error(1, "Création impossible de la base " + uriForDisplay(uri) + " : " +
                           (message ? message : std::string(trim(PQerrorMessage(connection.get())))));
    }
}

}  // namespace couloir
