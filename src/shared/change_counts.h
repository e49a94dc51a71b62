// The rows a call inserts, updates and deletes, table by table, counted as
// its statements run, for the host's account of the call.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "shared/database.h"

namespace couloir {

// What a statement the host wrote changes, read from its first words:
// INSERT INTO t, UPDATE t, DELETE [*] FROM t. Anything else changes no table.
// The libraries' own statements say it themselves.
StatementTarget statementTarget(std::string_view sql);

struct TableChanges {
    std::string table;  // as the first statement on it spelled it
    std::int64_t inserted = 0, updated = 0, deleted = 0;
};

// A database that counts the changes its statements make while counting is
// on, and otherwise passes everything to the engine's.
class ChangeCountingDatabase final : public Database {
public:
    explicit ChangeCountingDatabase(std::unique_ptr<Database> engine) : engine_(std::move(engine)) {}

    void startCounting() { counting_ = true; }
    void stopCounting() { counting_ = false; }
    void forgetChanges() {
        changes_.clear();
        last_ = nullptr;
    }
    // By table name, without regard to case.
    const std::map<std::string, TableChanges>& changes() const { return changes_; }

    std::int64_t execute(const Statement& statement) override;
    void executeDeferred(const Statement& statement, const std::function<void(std::int64_t)>& changed) override;
    void flushDeferred() override { engine_->flushDeferred(); }
    std::int32_t lValeurScalaire(const Statement& statement) override { return engine_->lValeurScalaire(statement); }
    Columns ChargerColonnes(const Statement& statement) override { return engine_->ChargerColonnes(statement); }
    void forEachRow(const Statement& statement, const std::function<bool(const Row&)>& onRow) override {
        engine_->forEachRow(statement, onRow);
    }
    std::int64_t appendRow(std::string_view table,
                           const std::vector<std::pair<std::string, FieldValue>>& fields) override;
    std::vector<std::string> tableNames() override { return engine_->tableNames(); }
    void begin(Lock lock) override { engine_->begin(lock); }
    void commit() override { engine_->commit(); }
    void rollback() override { engine_->rollback(); }
    bool inTransaction() const override { return engine_->inTransaction(); }

private:
    TableChanges& entry(std::string_view table);
    void count(const StatementTarget& target, std::int64_t changed);

    std::unique_ptr<Database> engine_;
    bool counting_ = false;
    std::map<std::string, TableChanges> changes_;
    TableChanges* last_ = nullptr;  // the entry of the last statement's table
    std::string lastSpelling_;
};

}  // namespace couloir
