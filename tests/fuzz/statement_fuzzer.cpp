// The statement splitter of the database layer: any text quoted the house way
// keeps the statement's shape and its single statement, and is stored as it
// is, never run.
#include <cstdint>
#include <memory>
#include <variant>

#include "fuzz_support.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/sql_shape.h"
#include "shared/text_date.h"

using namespace couloir;

namespace {

Database& database() {
    static std::unique_ptr<Database> db = [] {
        auto opened = openDatabase(fuzz::createScratchDatabase("statements.db"), DatabaseOptions{});
        opened->begin(Database::Lock::Write);
        return opened;
    }();
    return *db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string value(fuzz::bytesOf(data, size));

    SqlShape shape = shapeOf("SELECT Num FROM Club WHERE Intitule = " + sqlQuote(value) + " AND Num > 3");
    fuzz::require(shape.text == "SELECT Num FROM Club WHERE Intitule = ? AND Num > ?", "the shape is kept");
    fuzz::require(shape.values.size() == 2 && std::get<std::string>(shape.values[0]) == value, "the value is whole");

    Database& db = database();
    std::int32_t clubs = db.lValeurScalaire("select count(*) from Club");
    try {
        db.execute("UPDATE Club SET Intitule = " + sqlQuote(value) + " WHERE Num = 1");
        Columns stored = db.ChargerColonnes("select Intitule from Club where Num = 1");
        fuzz::require(stored.hasRows() && stored.at(0, 0) == value, "the text is stored as it is");
    } catch (const Error& e) {
        // Only a NUL byte is refused: it would end the statement early.
        fuzz::require(value.find('\0') != std::string::npos, "only a NUL byte is refused");
    }
    fuzz::require(db.lValeurScalaire("select count(*) from Club") == clubs, "nothing else ran");
    db.rollback();
    db.begin(Database::Lock::Write);
    return 0;
}
