// Statements with bound values: any value of any type is stored as it stands
// and read back the same, the statement runs alone, and nothing else happens.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/statement.h"
#include "shared/text_date.h"

using namespace couloir;

namespace {

Database& database() {
    static std::unique_ptr<Database> db = [] {
        auto opened = openDatabase(fuzz::createScratchDatabase("statements.db"), DatabaseOptions{.nullText = NullText::Empty});
        // A column of each kind, so that a value is stored as it is rather than converted.
        opened->execute(Statement("CREATE TABLE Fuzz (Num INTEGER PRIMARY KEY, Texte TEXT, Entier INTEGER, Reel REAL)"));
        opened->execute(Statement("INSERT INTO Fuzz (Num) VALUES (1)"));
        opened->begin(Database::Lock::Write);
        return opened;
    }();
    return *db;
}

template <typename Number>
Number numberOf(std::string_view bytes) {
    Number value{};
    std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
    return value;
}

// Stores the value, reads it back; false when the statement type refused it.
bool storeAndRead(Database& db, std::uint8_t kind, std::string_view bytes, std::string& stored, std::string& expected) {
    Statement update = Statement::update("UPDATE", "Fuzz");
    try {
        switch (kind % 5) {
            case 0:
                update.sql(" SET Texte = ").text(bytes);
                expected = bytes;
                break;
            case 1: {  // a file's whole number: refused unless it is one
                update.sql(" SET Entier = ").number(bytes);
                std::string_view number = trim(bytes);
                fuzz::require(isWholeNumber(number), "only a whole number passes");
                expected = update.shown().substr(update.shown().find("= ") + 2);
                break;
            }
            case 2: {
                double value = numberOf<double>(bytes);
                if (!std::isfinite(value)) return false;
                update.sql(" SET Reel = ").real(value);
                expected = shortestDecimal(value);
                break;
            }
            case 3: {
                std::int64_t value = numberOf<std::int64_t>(bytes);
                update.sql(" SET Entier = ").number(value);
                expected = std::to_string(value);
                break;
            }
            default:
                update.sql(" SET Entier = ").boolean(!bytes.empty() && bytes[0] & 1);
                expected = !bytes.empty() && bytes[0] & 1 ? "1" : "0";
        }
    } catch (const Error& e) {
        fuzz::require(e.number() == errors::kTypeMismatch, "a value is refused only as a type mismatch");
        fuzz::require(kind % 5 == 1 || bytes.find('\0') != std::string_view::npos, "only a NUL or a non-number is refused");
        return false;
    }
    update.sql(" WHERE Num = 1");
    fuzz::require(db.execute(update) == 1, "one row changed");
    Columns read = db.ChargerColonnes(Statement("select Texte, Entier, Reel from Fuzz where Num = 1"));
    fuzz::require(read.hasRows(), "the row is there");
    stored = read.at(kind % 5 == 0 ? 0 : kind % 5 == 2 ? 2 : 1, 0);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view bytes = fuzz::bytesOf(data + 1, size - 1);
    Database& db = database();
    std::int32_t clubs = db.lValeurScalaire(Statement("select count(*) from Club"));
    std::string stored, expected;
    if (storeAndRead(db, data[0], bytes, stored, expected)) {
        if (data[0] % 5 == 1) {
            // Past 64 bits a whole number is stored as a real: the same number.
            fuzz::require(numericValue(stored) == numericValue(expected), "the number is stored as it is");
        } else {
            fuzz::require(stored == expected, "the value is stored as it is");
        }
    }
    fuzz::require(db.lValeurScalaire(Statement("select count(*) from Club")) == clubs &&
                      db.lValeurScalaire(Statement("select count(*) from Fuzz")) == 1,
                  "nothing else ran");
    db.rollback();
    db.begin(Database::Lock::Write);
    return 0;
}
