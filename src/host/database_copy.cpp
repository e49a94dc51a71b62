#include "database_copy.h"

#include <map>

#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::host {
namespace {

using RowCounts = std::map<std::string, std::int64_t>;  // by lower-case table name

RowCounts rowCounts(Database& db) {
    RowCounts counts;
    for (const std::string& table : db.tableNames())
        counts[toLowerAscii(table)] = db.lValeurScalaire(Statement("SELECT count(*) FROM ").name(table));
    return counts;
}

// The rows of each table of a new club database, made in a scratch folder.
RowCounts newDatabaseCounts(const std::string& script) {
    WorkingFolder scratch("");
    std::string path = scratch.path() + "/club.db";
    createDatabase(path, script);
    return rowCounts(*openDatabase(path, DatabaseOptions{.nullText = NullText::Empty}));
}

// A target that holds more than a new database is somebody's data: it is never replaced.
void checkTargetIsNew(Database& target, const std::string& name, const RowCounts& fresh) {
    for (const auto& [table, rows] : rowCounts(target)) {
        auto expected = fresh.find(table);
        if (expected == fresh.end() || rows > expected->second)
            throw Error(errors::kFileAlreadyExists, "La base " + name + " contient déjà des données (table " + table +
                                                        ") : la copie va dans une base neuve (couloir init-db)");
    }
}

std::vector<std::pair<std::string, FieldValue>> fieldsOf(const Row& row) {
    std::vector<std::pair<std::string, FieldValue>> fields;
    fields.reserve(static_cast<std::size_t>(row.fieldCount()));
    for (int i = 0; i < row.fieldCount(); ++i) {
        if (row.isNull(i)) fields.emplace_back(row.fieldName(i), std::monostate{});
        else fields.emplace_back(row.fieldName(i), row.text(i));
    }
    return fields;
}

}  // namespace

CopySummary copyDatabase(const std::string& from, const std::string& to, const std::string& newDatabaseScript,
                         const std::function<void(const std::string&, std::size_t)>& onTable) {
    RowCounts fresh = newDatabaseCounts(newDatabaseScript);
    auto source = openDatabase(from, DatabaseOptions{.nullText = NullText::Empty});
    auto target = openDatabase(to, DatabaseOptions{.nullText = NullText::Empty});
    source->begin(Database::Lock::Read);
    target->begin(Database::Lock::Write);
    checkTargetIsNew(*target, displayName(to), fresh);

    std::map<std::string, std::string> targetTables;
    for (const std::string& table : target->tableNames()) targetTables[toLowerAscii(table)] = table;
    CopySummary summary;
    for (const std::string& table : source->tableNames()) {
        auto found = targetTables.find(toLowerAscii(table));
        if (found == targetTables.end())
            throw Error(errors::kUnrecognizedDatabase, "La table " + table + " de " + displayName(from) + " n'existe pas dans " + displayName(to));
        target->execute(Statement::remove("DELETE FROM", found->second));
        std::size_t rows = 0;
        source->forEachRow(Statement("SELECT * FROM ").name(table), [&](const Row& row) {
            target->appendRow(found->second, fieldsOf(row));
            ++rows;
            return true;
        });
        ++summary.tables;
        summary.rows += rows;
        onTable(found->second, rows);
    }
    target->commit();
    source->rollback();
    return summary;
}

}  // namespace couloir::host
