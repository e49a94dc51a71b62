// The club database on a PostgreSQL server, through libpq. The statements
// run as the libraries build them: each shape becomes a named prepared
// statement with its literal values bound (typed by the server from their
// place, as the literals would be). Inside a call every statement runs under
// a savepoint, so that a failing one is undone alone and the call goes on,
// as on SQLite. Appended rows are sent by COPY in batches, their counters
// numbered here as SQLite numbers them (max + 1). A write call holds a
// transaction-level advisory lock on the database from its start.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "shared/database_engines.h"
#include "shared/error.h"
#include "shared/postgres_schema.h"
#include "shared/postgres_values.h"
#include "shared/pq_handles.h"
#include "shared/sql_shape.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

// The advisory lock a write call holds ("Couloir" in ASCII); advisory locks
// are per database, so calls on other databases of the server never wait.
constexpr std::int64_t kCallLock = 0x436f756c6f6972;
constexpr int kFetchRows = 2000;
constexpr std::size_t kAppendBatchBytes = std::size_t{4} << 20;
constexpr std::size_t kPreparedLimit = 2000;
constexpr const char* kSavepoint = "SAVEPOINT couloir_statement";
constexpr const char* kRelease = "RELEASE SAVEPOINT couloir_statement";
constexpr const char* kRollbackTo = "ROLLBACK TO SAVEPOINT couloir_statement";

// One command of a round trip: a statement (with its values), the preparing
// of a named statement, or the run of one.
struct Command {
    enum class Kind { Statement, Prepare, Prepared } kind;
    std::string text;  // the statement, or the prepared statement's name
    std::string body;  // Prepare: the statement prepared
    const std::vector<FieldValue>* values = nullptr;
};

Command statement(std::string text, const std::vector<FieldValue>* values = nullptr) {
    return {Command::Kind::Statement, std::move(text), {}, values};
}

// The bound values as libpq takes them: texts, with no pointer for a Null.
struct Parameters {
    explicit Parameters(const std::vector<FieldValue>* values) {
        if (!values) return;
        texts.reserve(values->size());
        for (const FieldValue& value : *values) texts.push_back(parameterText(value));
        for (std::size_t i = 0; i < values->size(); ++i) {
            pointers.push_back(std::holds_alternative<std::monostate>((*values)[i]) ? nullptr : texts[i].c_str());
            typeOids.push_back(std::holds_alternative<double>((*values)[i]) ? kNumericType : 0);
        }
    }
    int count() const { return static_cast<int>(pointers.size()); }
    const char* const* data() const { return pointers.empty() ? nullptr : pointers.data(); }
    // Reals as numerics; every other value untyped, for the server to type from its place.
    const Oid* types() const { return typeOids.empty() ? nullptr : typeOids.data(); }

    static constexpr Oid kNumericType = 1700;
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
    std::vector<Oid> typeOids;
};

bool failed(const PGresult* result) {
    if (!result) return true;
    ExecStatusType status = PQresultStatus(result);
    return status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK;
}

std::string sqlState(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

// The shape's "?" marks as $1, $2...; none when they do not match its values.
std::optional<std::string> numberedMarks(const SqlShape& shape) {
    std::string text;
    text.reserve(shape.text.size() + shape.values.size() * 2);
    std::size_t marks = 0;
    for (std::size_t i = 0; i < shape.text.size(); ++i) {
        char c = shape.text[i];
        if (c == '"' || c == '\'') {
            std::size_t close = shape.text.find(c, i + 1);
            if (close == std::string::npos) return std::nullopt;
            text.append(shape.text, i, close - i + 1);
            i = close;
        } else if (c == '-' && i + 1 < shape.text.size() && shape.text[i + 1] == '-') {
            return std::nullopt;
        } else if (c == '?') {
            text += '$' + std::to_string(++marks);
        } else {
            text += c;
        }
    }
    if (marks != shape.values.size()) return std::nullopt;
    return text;
}

bool isSelect(std::string_view sql) {
    std::string_view head = trim(sql);
    return head.size() >= 6 && equalsNoCase(head.substr(0, 6), "SELECT");
}

// Whether a statement names a table (a word of its text, in any case).
bool mentions(std::string_view sql, std::string_view table) {
    for (std::size_t at = 0; at + table.size() <= sql.size(); ++at) {
        if (!equalsNoCase(sql.substr(at, table.size()), table)) continue;
        bool starts = at == 0 || !isAsciiNameChar(sql[at - 1]);
        bool ends = at + table.size() == sql.size() || !isAsciiNameChar(sql[at + table.size()]);
        if (starts && ends) return true;
    }
    return false;
}

void ignoreNotice(void*, const char*) {}

PgConnection connect(const std::string& uri) {
    const char* keys[] = {"dbname", "client_encoding", "application_name", nullptr};
    const char* values[] = {uri.c_str(), "UTF8", "couloir", nullptr};
    PgConnection connection(PQconnectdbParams(keys, values, 1));
    if (!connection) throw errors::cannotConnect(uriForDisplay(uri), "mémoire insuffisante");
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw errors::cannotConnect(uriForDisplay(uri), std::string(trim(PQerrorMessage(connection.get()))));
    // The server's notices (an index already there, ...) are not the user's business.
    PQsetNoticeProcessor(connection.get(), ignoreNotice, nullptr);
    // A table read whole comes in its stored order, never from where another
    // session's scan has got to.
    PgResult set(PQexec(connection.get(), "SET synchronize_seqscans = off"));
    return connection;
}

// Whether the connected database holds the club tables.
bool holdsClubTables(PGconn* connection) {
    PgResult result(PQexec(connection, "SELECT to_regclass('info') IS NOT NULL"));
    return !failed(result.get()) && PQntuples(result.get()) == 1 && std::strcmp(PQgetvalue(result.get(), 0, 0), "t") == 0;
}

class PgRow final : public Row {
public:
    PgRow(const PGresult* result, int row) : result_(result), row_(row) {}
    int fieldCount() const override { return PQnfields(result_); }
    bool isNull(int index) const override { return PQgetisnull(result_, row_, index); }
    std::string text(int index) const override {
        if (isNull(index)) return {};
        return valueText(PQftype(result_, index),
                         std::string_view(PQgetvalue(result_, row_, index),
                                          static_cast<std::size_t>(PQgetlength(result_, row_, index))));
    }
    std::string fieldName(int index) const override { return PQfname(result_, index); }

private:
    const PGresult* result_;
    int row_;
};

class PostgresDatabase final : public Database {
public:
    PostgresDatabase(const std::string& uri, const DatabaseOptions& options)
        : connection_(connect(uri)), name_(uriForDisplay(uri)), options_(options) {
        if (!holdsClubTables(connection_.get())) throw errors::unrecognizedDatabase(name_);
        loadCounterColumns();
    }

    std::int64_t execute(std::string_view sql) override {
        PgResult result = run(sql);
        const char* changed = PQcmdTuples(result.get());
        return *changed ? std::strtoll(changed, nullptr, 10) : 0;
    }

    std::int32_t lValeurScalaire(std::string_view sql) override {
        PgResult result = run(sql);
        if (PQntuples(result.get()) == 0 || PQnfields(result.get()) == 0) throw errors::noCurrentRecord();
        if (PQgetisnull(result.get(), 0, 0)) throw errors::invalidNull();
        PgRow row(result.get(), 0);
        std::string text = row.text(0);
        return scalarValue(text, isNumericType(PQftype(result.get(), 0)));
    }

    Columns ChargerColonnes(std::string_view sql) override {
        PgResult result = run(sql);
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

    void forEachRow(std::string_view sql, const std::function<bool(const Row&)>& onRow) override {
        // Outside a call, and for a walk inside another (a lookup per row of
        // the outer one), the whole result comes in one round trip.
        if (!inTransaction() || walking_ > 0) {
            PgResult result = run(sql);
            for (int r = 0; r < PQntuples(result.get()); ++r)
                if (!onRow(PgRow(result.get(), r))) return;
            return;
        }
        // Inside a call the rows come from a cursor, a batch at a time, so that
        // a walk over a million rows holds one batch and the walk's handler
        // may run statements of its own between batches. The first batch
        // comes with the declaration; the cursor is closed on the way of the
        // next round trip.
        std::string cursor = "couloir_walk_" + std::to_string(++walks_);
        std::string fetch = "FETCH " + std::to_string(kFetchRows) + " FROM " + cursor;
        struct Close {
            PostgresDatabase& db;
            std::string cursor;
            ~Close() {
                db.closing_.push_back("CLOSE " + cursor);
                --db.walking_;
            }
        };
        PgResult batch = run(sql, "DECLARE " + cursor + " NO SCROLL CURSOR FOR ", statement(fetch));
        ++walking_;
        Close close{*this, cursor};
        for (;;) {
            int rows = PQntuples(batch.get());
            for (int r = 0; r < rows; ++r)
                if (!onRow(PgRow(batch.get(), r))) return;
            if (rows < kFetchRows) return;
            batch = guarded({statement(fetch)}, fetch);
        }
    }

    std::int64_t appendRow(std::string_view table,
                           const std::vector<std::pair<std::string, FieldValue>>& fields) override {
        checkUsable();
        if (!appendsTo(table, fields)) startAppends(table, fields);
        std::int64_t number = 0;
        if (!pending_.numbered.empty()) {
            number = nextCounter(pending_.table, pending_.numbered);
        } else if (pending_.givenCounter) {
            if (const auto* given = std::get_if<std::int64_t>(&fields[*pending_.givenCounter].second)) {
                number = *given;
                if (auto next = counters_.find(pending_.table); next != counters_.end())
                    next->second = std::max(next->second, number + 1);
            } else {
                counters_.erase(pending_.table);
            }
        }
        std::string& line = pending_.data;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) line += '\t';
            appendCopyField(line, fields[i].second);
        }
        if (!pending_.numbered.empty()) {
            if (!fields.empty()) line += '\t';
            line += std::to_string(number);
        }
        line += '\n';
        ++pending_.rows;
        // Outside a call nothing waits for a commit: the row goes at once.
        if (pending_.data.size() >= kAppendBatchBytes || !inTransaction()) flushAppends();
        return number;
    }

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        PgResult result = run(
            "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
            "AND table_type = 'BASE TABLE' ORDER BY table_name");
        for (int r = 0; r < PQntuples(result.get()); ++r) names.emplace_back(PQgetvalue(result.get(), r, 0));
        return names;
    }

    void begin(Lock lock) override {
        if (inTransaction()) throw Error(errors::kInvalidCall, "Une transaction est déjà ouverte sur " + name_);
        counters_.clear();
        if (lock == Lock::Read) {
            simple("BEGIN ISOLATION LEVEL REPEATABLE READ");
            return;
        }
        // The wait for another call's lock is bounded by lock_timeout; no wait
        // at all is a single try.
        int seconds = options_.busyTimeoutSeconds;
        std::string lockStatement = seconds > 0 ? "SELECT pg_advisory_xact_lock(" + std::to_string(kCallLock) + ")"
                                                : "SELECT pg_try_advisory_xact_lock(" + std::to_string(kCallLock) + ")";
        std::vector<PgResult> results = exchange({statement("BEGIN"),
                                                  statement("SET LOCAL lock_timeout = '" + std::to_string(seconds) + "s'"),
                                                  statement(lockStatement)});
        for (const PgResult& result : results) {
            if (!failed(result.get())) continue;
            bool timedOut = sqlState(result.get()) == "55P03";
            Error error = resultError(result.get(), lockStatement);
            simple("ROLLBACK");
            if (timedOut) throw errors::databaseInUse(name_, seconds);
            throw error;
        }
        if (seconds == 0 && std::strcmp(PQgetvalue(results[2].get(), 0, 0), "t") != 0) {
            simple("ROLLBACK");
            throw errors::databaseInUse(name_, seconds);
        }
    }

    void commit() override {
        if (!inTransaction()) return;
        try {
            checkUsable();
            flushAppends();
            awaitCopy();
        } catch (...) {
            rollback();
            throw;
        }
        // The server answers a COMMIT of a failed transaction by rolling it back.
        closing_.clear();
        leavePipeline();
        PgResult result(PQexec(connection_.get(), "COMMIT"));
        if (failed(result.get())) throw resultError(result.get(), "COMMIT");
        if (std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0)
            throw Error(errors::kInternalError, "La transaction a été annulée par le serveur : " + name_);
    }

    void rollback() override {
        closing_.clear();  // the transaction's end closes them
        pending_ = {};
        try {
            awaitCopy();  // undone with the rest
        } catch (const Error&) {
        }
        broken_.reset();
        counters_.clear();
        if (inTransaction()) simple("ROLLBACK");
    }

    bool inTransaction() const override {
        if (copyInFlight_) return true;  // appended rows go by COPY only inside a transaction
        PGTransactionStatusType status = PQtransactionStatus(connection_.get());
        return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
    }

private:
    // One statement as the library wrote it: prepared by shape unless its
    // shape does not prepare, then run as written. A cursor's declaration
    // (`cursor`) goes before it, unprepared, and `then` (its first fetch) runs
    // after it in the same round trip; the last result.
    PgResult run(std::string_view sql, const std::string& cursor = {}, std::optional<Command> then = std::nullopt) {
        if (sql.find('\0') != std::string_view::npos) throw errors::textAfterStatement();
        checkUsable();
        // Rows appended to a table a statement does not name cannot change
        // what it does: they wait for the next batch.
        if (pending_.rows && mentions(sql, pending_.table)) flushAppends();
        if (!isSelect(sql))
            std::erase_if(counters_, [&](const auto& counter) { return mentions(sql, counter.first); });
        SqlShape shape = shapeOf(sql);
        std::optional<std::string> marked = numberedMarks(shape);
        // A real literal is a numeric, as the server reads one written in the
        // text (untyped, next to an integer column, it would be taken for an
        // integer): the shape's key says where reals are bound.
        std::string key = shape.text;
        for (const FieldValue& value : shape.values) key += std::holds_alternative<double>(value) ? 'r' : '.';
        auto found = prepared_.find(key);
        auto with = [&](std::vector<Command> commands) {
            if (then) commands.push_back(*then);
            return commands;
        };
        if (marked && !cursor.empty()) {
            if (auto result = attempt(with({statement(cursor + *marked, &shape.values)}), sql, true)) return std::move(*result);
        } else if (marked && found != prepared_.end() && !found->second.empty()) {
            return guarded(with({{Command::Kind::Prepared, found->second, {}, &shape.values}}), sql);
        } else if (marked && found == prepared_.end()) {
            if (prepared_.size() >= kPreparedLimit) {
                simple("DEALLOCATE ALL");
                prepared_.clear();
            }
            std::string name = "couloir_" + std::to_string(++statements_);
            auto result = attempt(
                with({{Command::Kind::Prepare, name, *marked, &shape.values}, {Command::Kind::Prepared, name, {}, &shape.values}}),
                sql, true);
            prepared_.emplace(key, result ? name : "");  // without a name: runs as written
            if (result) return std::move(*result);
        }
        return guarded(with({statement(cursor + std::string(sql))}), sql);
    }

    // Runs `commands` under the statement savepoint; the last one's result.
    PgResult guarded(std::vector<Command> commands, std::string_view sql) {
        return *attempt(std::move(commands), sql, false);
    }

    // As guarded; when `mayFallBack` and the first command fails while being
    // parsed (a shape whose bound values the server cannot type), none:
    // the caller runs the statement as written.
    std::optional<PgResult> attempt(std::vector<Command> commands, std::string_view sql, bool mayFallBack) {
        bool inCall = inTransaction();
        std::size_t first = 0;
        if (inCall) {
            commands.insert(commands.begin(), statement(kSavepoint));
            commands.push_back(statement(kRelease));
            first = 1;
        }
        std::vector<PgResult> results = exchange(commands);
        std::size_t last = results.size() - (inCall ? 2 : 1);
        for (std::size_t i = 0; i < results.size(); ++i) {
            if (!failed(results[i].get())) continue;
            if (PQresultStatus(results[i].get()) == PGRES_PIPELINE_ABORTED) continue;
            bool parseError = i == first && sqlState(results[i].get()).substr(0, 2) == "42";
            Error error = resultError(results[i].get(), sql);
            if (inCall) exchange({statement(kRollbackTo), statement(kRelease)});
            if (mayFallBack && parseError && error.number() != errors::kTextAfterStatement) return std::nullopt;
            throw error;
        }
        return std::move(results[last]);
    }

    // Sends the commands in one round trip (libpq's pipeline mode) and reads
    // their results in order.
    std::vector<PgResult> exchange(const std::vector<Command>& given) {
        awaitCopy();
        PGconn* connection = connection_.get();
        // The cursors of ended walks go first.
        std::vector<Command> commands;
        commands.reserve(closing_.size() + given.size());
        for (std::string& close : closing_) commands.push_back(statement(std::move(close)));
        std::size_t closes = closing_.size();
        closing_.clear();
        commands.insert(commands.end(), given.begin(), given.end());
        // The connection stays in pipeline mode between round trips: entering
        // and leaving it costs as much as a third of a short statement's trip.
        if (!pipelined_) {
            if (!PQenterPipelineMode(connection)) throw lostConnection();
            pipelined_ = true;
        }
        std::vector<Parameters> parameters;
        parameters.reserve(commands.size());
        for (const Command& command : commands) {
            const Parameters& values = parameters.emplace_back(command.values);
            int sent = 0;
            switch (command.kind) {
                case Command::Kind::Statement:
                    sent = PQsendQueryParams(connection, command.text.c_str(), values.count(), values.types(), values.data(),
                                             nullptr, nullptr, 0);
                    break;
                case Command::Kind::Prepare:
                    sent = PQsendPrepare(connection, command.text.c_str(), command.body.c_str(), values.count(), values.types());
                    break;
                case Command::Kind::Prepared:
                    sent = PQsendQueryPrepared(connection, command.text.c_str(), values.count(), values.data(), nullptr,
                                               nullptr, 0);
                    break;
            }
            if (!sent) throw lostConnection();
        }
        if (!PQpipelineSync(connection)) throw lostConnection();
        std::vector<PgResult> results(commands.size());
        std::size_t index = 0;
        for (;;) {
            PGresult* raw = PQgetResult(connection);
            if (!raw) {
                if (++index > commands.size()) throw lostConnection();
                continue;
            }
            PgResult result(raw);
            if (PQresultStatus(raw) == PGRES_PIPELINE_SYNC) break;
            if (index < results.size() && !results[index]) results[index] = std::move(result);
        }
        for (PgResult& result : results)
            if (!result) throw lostConnection();
        for (std::size_t i = 0; i < closes; ++i)
            if (failed(results[i].get())) throw resultError(results[i].get(), "CLOSE");
        return {std::make_move_iterator(results.begin() + static_cast<std::ptrdiff_t>(closes)),
                std::make_move_iterator(results.end())};
    }

    // Leaves pipeline mode for what it does not allow (PQexec, COPY).
    void leavePipeline() {
        if (pipelined_ && PQexitPipelineMode(connection_.get())) pipelined_ = false;
    }

    // A statement of our own, outside the savepoints.
    void simple(const std::string& sql) {
        awaitCopy();
        leavePipeline();
        PgResult result(PQexec(connection_.get(), sql.c_str()));
        if (failed(result.get())) throw resultError(result.get(), sql);
    }

    // Whether a row of these fields goes with the rows appended before it.
    bool appendsTo(std::string_view table, const std::vector<std::pair<std::string, FieldValue>>& fields) const {
        if (!equalsNoCase(table, pending_.table) || fields.size() != pending_.columns.size()) return false;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].first != pending_.columns[i]) return false;
        return true;
    }

    // Sends the rows of the previous table and columns, and sets up the
    // COPY of these: the table's counter numbered here unless the row gives it.
    void startAppends(std::string_view table, const std::vector<std::pair<std::string, FieldValue>>& fields) {
        checkIdentifier(table);
        for (const auto& field : fields) checkIdentifier(field.first);
        flushAppends();
        pending_.table = toLowerAscii(table);
        pending_.columns.clear();
        pending_.numbered.clear();
        pending_.givenCounter.reset();
        std::string columns;
        for (const auto& field : fields) {
            pending_.columns.push_back(field.first);
            columns += (columns.empty() ? "" : ", ") + field.first;
        }
        if (auto counter = counterColumns_.find(pending_.table); counter != counterColumns_.end()) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (equalsNoCase(fields[i].first, counter->second)) pending_.givenCounter = i;
            if (!pending_.givenCounter) {
                pending_.numbered = counter->second;
                columns += (columns.empty() ? "" : ", ") + counter->second;
            }
        }
        pending_.target = std::string(table) + " (" + columns + ")";
    }

    // The next counter of a table: max + 1 at the first row a call appends,
    // then one more for each row appended since.
    std::int64_t nextCounter(const std::string& table, const std::string& column) {
        auto next = counters_.find(table);
        if (next == counters_.end()) {
            PgResult result = run("SELECT coalesce(max(" + column + "), 0) + 1 FROM " + table);
            std::int64_t first = std::strtoll(PQgetvalue(result.get(), 0, 0), nullptr, 10);
            next = counters_.emplace(table, first).first;
        }
        return next->second++;
    }

    // Sends the rows appended so far with one COPY, without waiting for the
    // server to store them: the next use of the connection does. A failed
    // COPY leaves the call unusable: its rows were reported appended, so the
    // call can only fail.
    void flushAppends() {
        awaitCopy();
        if (pending_.rows == 0) return;
        std::string data = std::move(pending_.data);
        pending_.data.clear();
        pending_.rows = 0;
        PGconn* connection = connection_.get();
        bool inCall = inTransaction();
        copyStatement_ = "COPY " + pending_.target + " FROM STDIN";
        leavePipeline();
        PgResult start(PQexec(connection, copyStatement_.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN) breakCall(resultError(start.get(), copyStatement_));
        if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) != 1 ||
            PQputCopyEnd(connection, nullptr) != 1)
            breakCall(lostConnection());
        copyInFlight_ = true;
        if (!inCall) awaitCopy();  // a row outside a call is stored before appendRow returns
    }

    // Waits for the COPY sent last, if any, to be stored.
    void awaitCopy() {
        if (!copyInFlight_) return;
        copyInFlight_ = false;
        PgResult end(PQgetResult(connection_.get()));
        while (PGresult* extra = PQgetResult(connection_.get())) PQclear(extra);
        if (failed(end.get())) breakCall(resultError(end.get(), copyStatement_));
    }

    [[noreturn]] void breakCall(const Error& error) {
        if (inTransaction()) broken_ = error;
        throw error;
    }

    void checkUsable() {
        if (broken_) throw *broken_;
    }

    void loadCounterColumns() {
        PgResult result(PQexec(connection_.get(),
                               "SELECT c.relname, a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
                               "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = i.indkey[0] "
                               "WHERE i.indisprimary AND i.indnatts = 1 AND a.atttypid IN (20, 21, 23) "
                               "AND c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema())"));
        if (failed(result.get())) throw resultError(result.get(), "pg_index");
        for (int r = 0; r < PQntuples(result.get()); ++r)
            counterColumns_.emplace(PQgetvalue(result.get(), r, 0), PQgetvalue(result.get(), r, 1));
    }

    Error resultError(const PGresult* result, std::string_view sql) {
        std::string state = sqlState(result);
        const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        std::string message = primary ? primary : std::string(trim(PQerrorMessage(connection_.get())));
        if (state == "42601" && message.find("multiple commands") != std::string::npos)
            return errors::textAfterStatement();
        // Constraint violations keep SQLite's number; any other error is the engine's general one.
        return Error(state.substr(0, 2) == "23" ? 19 : 1, withStatement(message, sql));
    }

    Error lostConnection() {
        return errors::cannotConnect(name_, std::string(trim(PQerrorMessage(connection_.get()))));
    }

    PgConnection connection_;
    std::string name_;
    DatabaseOptions options_;
    std::unordered_map<std::string, std::string> prepared_;  // shape → statement name, empty: runs as written
    std::unordered_map<std::string, std::string> counterColumns_;  // table → its counter column
    std::unordered_map<std::string, std::int64_t> counters_;       // table → next counter, within the call
    std::int64_t statements_ = 0, walks_ = 0;
    int walking_ = 0;  // walks under way
    // The rows appended and not yet sent, all of one table and columns.
    struct {
        std::string table;                       // in lower case
        std::vector<std::string> columns;        // as the rows name them
        std::string numbered;                    // the counter numbered here, if any
        std::optional<std::size_t> givenCounter; // the field giving the counter, if any
        std::string target, data;                // "table (columns)" for COPY, the COPY lines
        std::size_t rows = 0;
    } pending_;
    bool copyInFlight_ = false;
    bool pipelined_ = false;  // the connection is in libpq's pipeline mode
    std::string copyStatement_;
    std::optional<Error> broken_;
    std::vector<std::string> closing_;  // CLOSE of the cursors of ended walks
};

}  // namespace

std::unique_ptr<Database> openPostgresDatabase(const std::string& uri, const DatabaseOptions& options) {
    return std::make_unique<PostgresDatabase>(uri, options);
}

void createPostgresDatabase(const std::string& uri, std::string_view script) {
    PgConnection connection = connect(uri);
    if (holdsClubTables(connection.get()))
        throw Error(errors::kFileAlreadyExists, "La base " + uriForDisplay(uri) + " contient déjà une base de club");
    // One transaction: a failed creation leaves the database as it was.
    std::string text = "BEGIN;\n" + postgresScript(script) + "\nCOMMIT;";
    PgResult result(PQexec(connection.get(), text.c_str()));
    if (failed(result.get())) {
        const char* message = PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY);
        throw Error(1, "Création impossible de la base " + uriForDisplay(uri) + " : " +
                           (message ? message : std::string(trim(PQerrorMessage(connection.get())))));
    }
}

}  // namespace couloir
