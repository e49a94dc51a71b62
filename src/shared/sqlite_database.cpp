// The club database on SQLite. Each statement's text is compiled once and
// reused, its values bound as parameters. A public call works
// inside one transaction that holds the write lock from its start (WAL mode:
// readers are never blocked); a crash or a kill leaves the database as it
// was before the call.
#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "shared/database_engines.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

constexpr std::size_t kCachedStatements = 256;

std::string describe(sqlite3* db, const Statement& statement) {
    return withStatement(sqlite3_errmsg(db), statement.shown());
}

// Whether text after a compiled statement holds more than blanks, comments
// and semicolons: a second statement, or what the engine cannot read (a NUL).
bool holdsMore(sqlite3* db, const char* tail, const char* end) {
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &raw, &next);
        sqlite3_finalize(raw);
        if (rc != SQLITE_OK || raw || next <= tail) return true;
        tail = next;
    }
    return false;
}

// First(x): the first value of the group, as the old engine's aggregate.
void firstStep(sqlite3_context* context, int, sqlite3_value** argv) {
    auto** slot = static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, sizeof(sqlite3_value*)));
    if (slot && !*slot) *slot = sqlite3_value_dup(argv[0]);
}

void firstFinal(sqlite3_context* context) {
    auto** slot = static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, 0));
    if (slot && *slot) {
        sqlite3_result_value(context, *slot);
        sqlite3_value_free(*slot);
    } else {
        sqlite3_result_null(context);
    }
}

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Compiled = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

std::string columnText(sqlite3_stmt* statement, int index, NullText nullText) {
    switch (sqlite3_column_type(statement, index)) {
        case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, index));
        case SQLITE_FLOAT: return shortestDecimal(sqlite3_column_double(statement, index));
        case SQLITE_NULL:
            if (nullText == NullText::Error) throw errors::invalidNull();
            return {};
        default: {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
            return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index))) : std::string();
        }
    }
}

class SqliteRow final : public Row {
public:
    explicit SqliteRow(sqlite3_stmt* statement) : statement_(statement) {}
    int fieldCount() const override { return sqlite3_column_count(statement_); }
    bool isNull(int index) const override { return sqlite3_column_type(statement_, index) == SQLITE_NULL; }
    std::string text(int index) const override { return columnText(statement_, index, NullText::Empty); }
    std::string fieldName(int index) const override { return sqlite3_column_name(statement_, index); }

private:
    sqlite3_stmt* statement_;
};

class SqliteDatabase final : public Database {
public:
    SqliteDatabase(const std::string& path, const DatabaseOptions& options) : path_(path), options_(options) {
        int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
            sqlite3_close(db_);
            db_ = nullptr;
            throw Error(rc, message + " : " + path);
        }
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, options.busyTimeoutSeconds * 1000);
        sqlite3_create_function(db_, "First", 1, SQLITE_UTF8, nullptr, nullptr, firstStep, firstFinal);
        try {
            // Read before anything is written: an empty file or another
            // database is refused as it is, never turned into a club database.
            if (!holdsClubTables()) throw errors::unrecognizedDatabase(path);
            exec("PRAGMA journal_mode=WAL");
            exec("PRAGMA synchronous=NORMAL");
            exec("PRAGMA cache_size=-65536");  // 64 MB: the importers' index lookups stay in memory
        } catch (...) {
            cache_.clear();
            sqlite3_close(db_);
            throw;
        }
    }

    ~SqliteDatabase() override {
        // A transaction still open here is a call that did not end normally.
        if (inTransaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        cache_.clear();
        appends_.clear();
        sqlite3_close(db_);
    }

    std::int64_t execute(const Statement& statement) override {
        std::int64_t before = sqlite3_total_changes64(db_);
        run(statement, [](sqlite3_stmt*) { return true; });
        return sqlite3_total_changes64(db_) - before;
    }

    std::int32_t lValeurScalaire(const Statement& query) override {
        bool found = false;
        std::int32_t value = 0;
        run(query, [&](sqlite3_stmt* statement) {
            found = true;
            int type = sqlite3_column_type(statement, 0);
            if (type == SQLITE_NULL) throw errors::invalidNull();
            value = scalarValue(columnText(statement, 0, NullText::Empty), type == SQLITE_INTEGER || type == SQLITE_FLOAT);
            return false;
        });
        if (!found) throw errors::noCurrentRecord();
        return value;
    }

    Columns ChargerColonnes(const Statement& query) override {
        Columns columns;
        run(query, [&](sqlite3_stmt* statement) {
            int count = sqlite3_column_count(statement);
            if (columns.lists.empty()) columns.lists.resize(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                columns.lists[static_cast<std::size_t>(i)].push_back(columnText(statement, i, options_.nullText));
            return true;
        });
        return columns;
    }

    void forEachRow(const Statement& query, const std::function<bool(const Row&)>& onRow) override {
        run(query, [&](sqlite3_stmt* statement) { return onRow(SqliteRow(statement)); });
    }

    std::int64_t appendRow(std::string_view table,
                           const std::vector<std::pair<std::string, FieldValue>>& fields) override {
        const Append& append = appendStatement(table, fields);
        sqlite3_stmt* statement = append.statement.get();
        for (std::size_t i = 0; i < fields.size(); ++i) bind(statement, static_cast<int>(i + 1), fields[i].second);
        stepAll(statement, [&] { return describe(db_, Statement(append.sql)); }, [](sqlite3_stmt*) { return true; });
        return sqlite3_last_insert_rowid(db_);
    }

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        run(Statement("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name"),
            [&](sqlite3_stmt* statement) {
                names.push_back(columnText(statement, 0, NullText::Empty));
                return true;
            });
        return names;
    }

    void begin(Lock lock) override {
        if (inTransaction()) throw Error(errors::kInvalidCall, "Une transaction est déjà ouverte sur " + path_);
        exec(lock == Lock::Write ? "BEGIN IMMEDIATE" : "BEGIN");
    }

    void commit() override {
        if (inTransaction()) exec("COMMIT");
    }

    void rollback() override {
        if (inTransaction()) exec("ROLLBACK");
    }

    bool inTransaction() const override { return !sqlite3_get_autocommit(db_); }

private:
    void exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : sqlite3_errmsg(db_);
            sqlite3_free(message);
            fail(text);
        }
    }

    // The engine's last error as an Error; a lock that outlasted the wait
    // says that another program holds the database.
    [[noreturn]] void fail(const std::string& message) {
        int code = sqlite3_extended_errcode(db_);
        if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
            throw errors::databaseInUse(path_, options_.busyTimeoutSeconds);
        throw Error(code, message);
    }

    // Whether the file is a database holding the club tables; the engine
    // reads only, and a file that is not a database is no club database.
    bool holdsClubTables() {
        bool found = false;
        if (sqlite3_exec(db_, "PRAGMA schema_version", nullptr, nullptr, nullptr) == SQLITE_NOTADB) return false;
        run(Statement("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Info' COLLATE NOCASE"), [&](sqlite3_stmt*) {
            found = true;
            return false;
        });
        return found;
    }

    template <typename OnRow>
    void run(const Statement& statement, OnRow&& onRow) {
        sqlite3_stmt* compiled = compiledOf(statement);
        if (!compiled) return;
        // A statement being walked by an enclosing query runs from a copy of its own.
        Compiled copy;
        if (busy_.count(compiled)) {
            copy = compile(statement, 0);
            compiled = copy.get();
        }
        const auto& values = statement.values();
        for (std::size_t i = 0; i < values.size(); ++i) bind(compiled, static_cast<int>(i + 1), values[i]);
        busy_.insert(compiled);
        struct Release {
            std::unordered_set<sqlite3_stmt*>& busy;
            sqlite3_stmt* statement;
            ~Release() { busy.erase(statement); }
        } release{busy_, compiled};
        stepAll(compiled, [&] { return describe(db_, statement); }, onRow);
    }

    // The statement compiled, none for a text of blanks and comments; text
    // after it is refused, never run.
    Compiled compile(const Statement& statement, unsigned flags) {
        const std::string& text = statement.marked();
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v3(db_, text.c_str(), static_cast<int>(text.size()), flags, &raw, &tail) != SQLITE_OK)
            fail(describe(db_, statement));
        Compiled compiled(raw);
        if (holdsMore(db_, tail, text.data() + text.size())) throw errors::textAfterStatement();
        if (compiled && sqlite3_bind_parameter_count(raw) != static_cast<int>(statement.values().size()))
            throw Error(errors::kInternalError, withStatement("Nombre de valeurs incorrect", statement.marked()));
        return compiled;
    }

    // The compiled statement of a text, compiled at its first run; none for a text that holds no statement.
    sqlite3_stmt* compiledOf(const Statement& statement) {
        if (auto found = cache_.find(statement.marked()); found != cache_.end()) return found->second.get();
        Compiled compiled = compile(statement, SQLITE_PREPARE_PERSISTENT);
        if (!compiled) return nullptr;
        if (cache_.size() >= kCachedStatements && busy_.empty()) cache_.clear();
        return cache_.emplace(statement.marked(), std::move(compiled)).first->second.get();
    }

    // Steps through the rows; `description` gives the failure's message.
    template <typename Describe, typename OnRow>
    void stepAll(sqlite3_stmt* statement, Describe&& description, OnRow&& onRow) {
        struct Reset {
            sqlite3_stmt* s;
            ~Reset() {
                sqlite3_reset(s);
                sqlite3_clear_bindings(s);
            }
        } reset{statement};
        for (;;) {
            int rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                if (!onRow(statement)) return;
            } else if (rc == SQLITE_DONE) {
                return;
            } else {
                fail(description());
            }
        }
    }

    // The INSERT of an appended row, compiled once for a run of rows of the
    // same table and columns.
    // The prepared INSERT of each table and columns rows were appended to:
    // a step that appends to two tables in turn prepares each once.
    struct Append {
        std::string table, sql;
        std::vector<std::string> columns;
        Compiled statement;
    };

    static bool appendsTo(const Append& append, std::string_view table,
                          const std::vector<std::pair<std::string, FieldValue>>& fields) {
        if (append.table != table || append.columns.size() != fields.size()) return false;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (append.columns[i] != fields[i].first) return false;
        return true;
    }

    const Append& appendStatement(std::string_view table, const std::vector<std::pair<std::string, FieldValue>>& fields) {
        if (lastAppend_ < appends_.size() && appendsTo(appends_[lastAppend_], table, fields)) return appends_[lastAppend_];
        for (lastAppend_ = 0; lastAppend_ < appends_.size(); ++lastAppend_)
            if (appendsTo(appends_[lastAppend_], table, fields)) return appends_[lastAppend_];
        checkIdentifier(table);
        for (const auto& field : fields) checkIdentifier(field.first);
        Append append;
        append.table = table;
        append.sql = "INSERT INTO " + std::string(table) + " (";
        std::string marks;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            append.sql += (i ? ", " : "") + fields[i].first;
            marks += i ? ", ?" : "?";
            append.columns.push_back(fields[i].first);
        }
        append.sql += ") VALUES (" + marks + ")";
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v3(db_, append.sql.c_str(), static_cast<int>(append.sql.size()), SQLITE_PREPARE_PERSISTENT,
                               &raw, nullptr) != SQLITE_OK)
            fail(describe(db_, Statement(append.sql)));
        append.statement.reset(raw);
        appends_.push_back(std::move(append));
        lastAppend_ = appends_.size() - 1;
        return appends_.back();
    }

    void bind(sqlite3_stmt* statement, int index, const FieldValue& value) {
        int rc = SQLITE_OK;
        if (std::holds_alternative<std::int64_t>(value)) rc = sqlite3_bind_int64(statement, index, std::get<std::int64_t>(value));
        else if (std::holds_alternative<bool>(value)) rc = sqlite3_bind_int64(statement, index, std::get<bool>(value) ? 1 : 0);
        else if (std::holds_alternative<double>(value)) rc = sqlite3_bind_double(statement, index, std::get<double>(value));
        else if (std::holds_alternative<std::string>(value)) {
            const auto& text = std::get<std::string>(value);
            rc = sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);  // the values outlive the step
        } else rc = sqlite3_bind_null(statement, index);
        if (rc != SQLITE_OK) throw Error(rc, sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    std::string path_;
    DatabaseOptions options_;
    std::unordered_map<std::string, Compiled> cache_;
    std::unordered_set<sqlite3_stmt*> busy_;
    std::vector<Append> appends_;
    std::size_t lastAppend_ = 0;  // the one used last, looked at first
};

}  // namespace

std::unique_ptr<Database> openSqliteDatabase(const std::string& path, const DatabaseOptions& options) {
    return std::make_unique<SqliteDatabase>(path, options);
}

void createSqliteDatabase(const std::string& path, std::string_view script) {
    // A failed creation leaves no file behind.
    auto removeFiles = [&] {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(platform::pathOf(path + suffix), ec);
    };
    std::error_code error;
    std::FILE* file = platform::openOwnerOnlyFile(path, WriteMode::CreateNew, error);
    if (!file) throw Error(error.value(), "Création impossible de " + path + " : " + error.message());
    std::fclose(file);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        removeFiles();
        throw Error(SQLITE_CANTOPEN, message);
    }
    std::string text(script);
    char* message = nullptr;
    int rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string error = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        sqlite3_close(db);
        removeFiles();
        throw Error(rc, error);
    }
    sqlite3_close(db);
}

}  // namespace couloir
