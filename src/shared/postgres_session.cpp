#include "shared/postgres_session.h"

#include <cstdlib>
#include <cstring>

#include "shared/postgres_values.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

constexpr std::size_t kPreparedLimit = 2000;
constexpr const char* kSavepoint = "SAVEPOINT couloir_statement";
constexpr const char* kRelease = "RELEASE SAVEPOINT couloir_statement";
constexpr const char* kRollbackTo = "ROLLBACK TO SAVEPOINT couloir_statement";

constexpr Oid kUntyped = 0, kBool = 16, kInt8 = 20, kText = 25, kNumeric = 1700;

// How bound values are typed. By place: the server types texts and whole
// numbers from where they stand, as it would the same literals written in
// (a text next to a citext column is a citext); reals are numerics and
// booleans booleans. By value: every value its own type, for the few places
// (a value alone in a select list) where the server cannot tell.
enum class Typing { ByPlace, ByValue };

Oid typeOf(const FieldValue& value, Typing typing) {
    if (std::holds_alternative<double>(value)) return kNumeric;
    if (std::holds_alternative<bool>(value)) return kBool;
    if (typing == Typing::ByPlace) return kUntyped;
    if (std::holds_alternative<std::int64_t>(value)) return kInt8;
    if (std::holds_alternative<std::string>(value)) return kText;
    return kUntyped;
}

// The bound values as libpq takes them: texts, with no pointer for a Null.
struct Parameters {
    Parameters(const Statement* statement, Typing typing) {
        if (!statement) return;
        const auto& values = statement->values();
        texts.reserve(values.size());
        for (const FieldValue& value : values) texts.push_back(parameterText(value));
        for (std::size_t i = 0; i < values.size(); ++i) {
            pointers.push_back(std::holds_alternative<std::monostate>(values[i]) ? nullptr : texts[i].c_str());
            typeOids.push_back(typeOf(values[i], typing));
        }
    }
    int count() const { return static_cast<int>(pointers.size()); }
    const char* const* data() const { return pointers.empty() ? nullptr : pointers.data(); }
    const Oid* types() const { return typeOids.empty() ? nullptr : typeOids.data(); }

    std::vector<std::string> texts;
    std::vector<const char*> pointers;
    std::vector<Oid> typeOids;
};

// A statement's text and the types its values are bound with: the key of its prepared statement.
std::string preparedKey(const Statement& statement) {
    std::string key = statement.marked();
    key += '\0';
    for (const FieldValue& value : statement.values()) key += static_cast<char>('0' + value.index());
    return key;
}

bool failed(const PGresult* result) {
    if (!result) return true;
    ExecStatusType status = PQresultStatus(result);
    return status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK;
}

std::string sqlState(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

// Errors of a statement whose values the server could not type by place.
bool isTypingError(const std::string& state) {
    return state == "42P18" || state == "42725" || state == "42883" || state == "42804";
}

void ignoreNotice(void*, const char*) {}

}  // namespace

// One command of a round trip: a statement run as it is (with its values,
// if any), the preparing of a named statement, or the run of one.
struct PgSession::Command {
    enum class Kind { Statement, Prepare, Prepared } kind;
    std::string text{};  // the statement, or the prepared statement's name
    std::string body{};  // Prepare: the statement prepared
    const Statement* statement = nullptr;
    Typing typing = Typing::ByPlace;
};

PgConnection connectToServer(const std::string& uri) {
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

bool holdsClubTables(PGconn* connection) {
    PgResult result(PQexec(connection, "SELECT to_regclass('info') IS NOT NULL"));
    return !failed(result.get()) && PQntuples(result.get()) == 1 && std::strcmp(PQgetvalue(result.get(), 0, 0), "t") == 0;
}

PgSession::PgSession(const std::string& uri) : connection_(connectToServer(uri)), name_(uriForDisplay(uri)) {}

bool PgSession::inTransaction() const {
    if (copyInFlight_) return true;  // appended rows go by COPY only inside a transaction
    PGTransactionStatusType status = PQtransactionStatus(connection_.get());
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

PgResult PgSession::run(const Statement& statement) {
    checkUsable();
    std::string key = preparedKey(statement);
    if (auto found = prepared_.find(key); found != prepared_.end())
        return guarded({{Command::Kind::Prepared, found->second, {}, &statement}}, statement);
    if (prepared_.size() >= kPreparedLimit) {
        simple("DEALLOCATE ALL");
        prepared_.clear();
    }
    std::string text = statement.numbered();
    for (Typing typing : {Typing::ByPlace, Typing::ByValue}) {
        std::string name = "couloir_" + std::to_string(++statements_);
        auto result = attempt({{Command::Kind::Prepare, name, text, &statement, typing},
                               {Command::Kind::Prepared, name, {}, &statement, typing}},
                              statement, typing == Typing::ByPlace);
        if (result) return std::move(*result);
    }
    throw Error(errors::kInternalError, withStatement("Requête non préparée", statement.shown()));
}

bool PgSession::isPrepared(const Statement& statement) const { return prepared_.count(preparedKey(statement)) > 0; }

void PgSession::runBatch(const std::vector<const Statement*>& statements,
                         const std::function<void(std::size_t, std::int64_t)>& done) {
    if (statements.empty()) return;
    checkUsable();
    bool inCall = inTransaction();
    std::vector<Command> commands;
    commands.reserve(statements.size() + 2);
    if (inCall) commands.push_back({Command::Kind::Statement, kSavepoint});
    for (const Statement* statement : statements)
        commands.push_back({Command::Kind::Prepared, prepared_.at(preparedKey(*statement)), {}, statement});
    if (inCall) commands.push_back({Command::Kind::Statement, kRelease});
    std::vector<PgResult> results = exchange(commands);
    std::size_t first = inCall ? 1 : 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (!failed(results[i].get()) || PQresultStatus(results[i].get()) == PGRES_PIPELINE_ABORTED) continue;
        bool isStatement = i >= first && i - first < statements.size();
        Error error = resultError(results[i].get(), isStatement ? statements[i - first]->shown() : commands[i].text);
        // Outside a transaction the batch was one implicit transaction: it is gone as a whole.
        if (inCall) exchange({{Command::Kind::Statement, kRollbackTo}, {Command::Kind::Statement, kRelease}});
        if (isStatement && i > first)
            runBatch({statements.begin(), statements.begin() + static_cast<std::ptrdiff_t>(i - first)}, done);
        throw error;
    }
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const char* changed = PQcmdTuples(results[first + i].get());
        done(i, *changed ? std::strtoll(changed, nullptr, 10) : 0);
    }
}

PgResult PgSession::openCursor(const Statement& query, const std::string& cursor, const std::string& fetch) {
    checkUsable();
    std::string text = "DECLARE " + cursor + " NO SCROLL CURSOR FOR " + query.numbered();
    for (Typing typing : {Typing::ByPlace, Typing::ByValue}) {
        auto result = attempt({{Command::Kind::Statement, text, {}, &query, typing}, {Command::Kind::Statement, fetch}},
                              query, typing == Typing::ByPlace);
        if (result) return std::move(*result);
    }
    throw Error(errors::kInternalError, withStatement("Requête non préparée", query.shown()));
}

PgResult PgSession::runOwn(const std::string& sql) {
    checkUsable();
    return guarded({{Command::Kind::Statement, sql}}, Statement(sql));
}

PgResult PgSession::guarded(std::vector<Command> commands, const Statement& statement) {
    return *attempt(std::move(commands), statement, false);
}

// Runs `commands` under the statement savepoint and gives the last one's
// result. A statement prepared is recorded as soon as the server has it,
// even when its first run fails, so that it is never prepared twice. When
// `mayRetype` and the first command fails for want of its values' types,
// none: the caller sends it again with every value typed.
std::optional<PgResult> PgSession::attempt(std::vector<Command> commands, const Statement& statement, bool mayRetype) {
    bool inCall = inTransaction();
    std::size_t first = 0;
    if (inCall) {
        commands.insert(commands.begin(), {Command::Kind::Statement, kSavepoint});
        commands.push_back({Command::Kind::Statement, kRelease});
        first = 1;
    }
    std::vector<PgResult> results = exchange(commands);
    if (commands[first].kind == Command::Kind::Prepare && !failed(results[first].get()))
        prepared_.emplace(preparedKey(statement), commands[first].text);
    std::size_t last = results.size() - (inCall ? 2 : 1);
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (!failed(results[i].get())) continue;
        if (PQresultStatus(results[i].get()) == PGRES_PIPELINE_ABORTED) continue;
        bool retype = mayRetype && i == first && isTypingError(sqlState(results[i].get()));
        Error error = resultError(results[i].get(), statement.shown());
        if (inCall) exchange({{Command::Kind::Statement, kRollbackTo}, {Command::Kind::Statement, kRelease}});
        if (retype) return std::nullopt;
        throw error;
    }
    return std::move(results[last]);
}

std::vector<PgResult> PgSession::exchangeOwn(const std::vector<std::string>& statements) {
    std::vector<Command> commands;
    for (const std::string& sql : statements) commands.push_back({Command::Kind::Statement, sql});
    return exchange(commands);
}

// Sends the commands in one round trip (libpq's pipeline mode) and reads
// their results in order.
std::vector<PgResult> PgSession::exchange(const std::vector<Command>& given) {
    awaitCopy();
    PGconn* connection = connection_.get();
    // The cursors of ended walks go first.
    std::vector<Command> commands;
    commands.reserve(closing_.size() + given.size());
    for (std::string& close : closing_) commands.push_back({Command::Kind::Statement, std::move(close)});
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
        const Parameters& values = parameters.emplace_back(command.statement, command.typing);
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
void PgSession::leavePipeline() {
    if (pipelined_ && PQexitPipelineMode(connection_.get())) pipelined_ = false;
}

void PgSession::simple(const std::string& sql) {
    awaitCopy();
    leavePipeline();
    PgResult result(PQexec(connection_.get(), sql.c_str()));
    if (failed(result.get())) throw resultError(result.get(), sql);
}

void PgSession::commit() {
    closing_.clear();  // the transaction's end closes them
    leavePipeline();
    PgResult result(PQexec(connection_.get(), "COMMIT"));
    if (failed(result.get())) throw resultError(result.get(), "COMMIT");
    if (std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0)
        throw Error(errors::kInternalError, "La transaction a été annulée par le serveur : " + name_);
}

void PgSession::rollback() {
    closing_.clear();
    try {
        awaitCopy();  // undone with the rest
    } catch (const Error&) {
    }
    broken_.reset();
    if (inTransaction()) simple("ROLLBACK");
}

void PgSession::copy(const std::string& statement, const std::string& data) {
    awaitCopy();
    PGconn* connection = connection_.get();
    bool inCall = inTransaction();
    copyStatement_ = statement;
    leavePipeline();
    PgResult start(PQexec(connection, copyStatement_.c_str()));
    if (PQresultStatus(start.get()) != PGRES_COPY_IN) breakCall(resultError(start.get(), copyStatement_));
    if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) != 1 || PQputCopyEnd(connection, nullptr) != 1)
        breakCall(lostConnection());
    copyInFlight_ = true;
    if (!inCall) awaitCopy();
}

void PgSession::awaitCopy() {
    if (!copyInFlight_) return;
    copyInFlight_ = false;
    PgResult end(PQgetResult(connection_.get()));
    while (PGresult* extra = PQgetResult(connection_.get())) PQclear(extra);
    if (failed(end.get())) breakCall(resultError(end.get(), copyStatement_));
}

void PgSession::breakCall(const Error& error) {
    if (inTransaction()) broken_ = error;
    throw error;
}

Error PgSession::resultError(const PGresult* result, std::string_view statement) const {
    std::string state = sqlState(result);
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string message = primary ? primary : std::string(trim(PQerrorMessage(connection_.get())));
    if (state == "42601" && message.find("multiple commands") != std::string::npos)
        return errors::textAfterStatement();
    // Constraint violations keep SQLite's number; any other error is the engine's general one.
    return Error(state.substr(0, 2) == "23" ? 19 : 1, withStatement(message, statement));
}

Error PgSession::lostConnection() const {
    return errors::cannotConnect(name_, std::string(trim(PQerrorMessage(connection_.get()))));
}

}  // namespace couloir
