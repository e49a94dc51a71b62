// bench_sqlite_floor SOURCE_DB FLOOR_DB TABLE...
// The floor of an import on SQLite: the rows an import left in SOURCE_DB's
// tables, inserted again into FLOOR_DB (a new club database, the tables
// emptied first) by one prepared INSERT per table with each row's values
// bound, in one transaction, under the pragmas the importers use. The rows
// are read into memory first; only the inserts and the commit are timed.
// Prints "floor N.NN s, R rows".
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Table {
    std::string name;
    int columns = 0;
    std::vector<sqlite3_value*> values;  // row after row
};

void check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "bench_sqlite_floor: %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

Table readTable(sqlite3* db, const std::string& name) {
    Table table;
    table.name = name;
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db, ("SELECT * FROM " + name).c_str(), -1, &select, nullptr), db, name.c_str());
    table.columns = sqlite3_column_count(select);
    while (sqlite3_step(select) == SQLITE_ROW)
        for (int i = 0; i < table.columns; ++i) table.values.push_back(sqlite3_value_dup(sqlite3_column_value(select, i)));
    sqlite3_finalize(select);
    return table;
}

void insertTable(sqlite3* db, const Table& table) {
    std::string text = "INSERT INTO " + table.name + " VALUES (?";
    for (int i = 1; i < table.columns; ++i) text += ", ?";
    text += ")";
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, text.c_str(), -1, &insert, nullptr), db, text.c_str());
    for (std::size_t row = 0; row < table.values.size(); row += table.columns) {
        for (int i = 0; i < table.columns; ++i) sqlite3_bind_value(insert, i + 1, table.values[row + i]);
        check(sqlite3_step(insert), db, table.name.c_str());
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_sqlite_floor SOURCE_DB FLOOR_DB TABLE...\n");
        return 2;
    }
    sqlite3* source = nullptr;
    sqlite3* floor = nullptr;
    check(sqlite3_open_v2(argv[1], &source, SQLITE_OPEN_READONLY, nullptr), source, argv[1]);
    check(sqlite3_open_v2(argv[2], &floor, SQLITE_OPEN_READWRITE, nullptr), floor, argv[2]);
    std::vector<Table> tables;
    std::size_t rows = 0;
    for (int i = 3; i < argc; ++i) {
        tables.push_back(readTable(source, argv[i]));
        rows += tables.back().values.size() / tables.back().columns;
        check(sqlite3_exec(floor, ("DELETE FROM " + tables.back().name).c_str(), nullptr, nullptr, nullptr), floor,
              "DELETE");
    }
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA cache_size=-65536"})
        check(sqlite3_exec(floor, pragma, nullptr, nullptr, nullptr), floor, pragma);

    auto start = std::chrono::steady_clock::now();
    check(sqlite3_exec(floor, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), floor, "BEGIN");
    for (const Table& table : tables) insertTable(floor, table);
    check(sqlite3_exec(floor, "COMMIT", nullptr, nullptr, nullptr), floor, "COMMIT");
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("floor %.2f s, %zu rows\n", elapsed.count(), rows);

    for (Table& table : tables)
        for (sqlite3_value* value : table.values) sqlite3_value_free(value);
    sqlite3_close(floor);
    sqlite3_close(source);
    return 0;
}
