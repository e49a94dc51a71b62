// The rows a call changes, table by table, as the report gives them.
#include <gtest/gtest.h>

#include "shared/change_counts.h"
#include "test_support.h"

namespace couloir {
namespace {

using Kind = StatementTarget::Kind;

TEST(ChangeCounts, ReadsTheTableFromTheStatementsFirstWords) {
    struct Case {
        const char* sql;
        Kind kind;
        const char* table;
    } cases[] = {
        {"INSERT INTO Licence (Nom) VALUES ('a')", Kind::Insert, "Licence"},
        {"  insert into [Liffn relais](x) select 1", Kind::Insert, "Liffn relais"},
        {"Update Info Set LastClose = true", Kind::Update, "Info"},
        {"UPDATE\nPrres Set Num_equipe = 1", Kind::Update, "Prres"},
        {"delete from Rcomp where AutoNum = 3", Kind::Delete, "Rcomp"},
        {"DELETE * FROM Liffn", Kind::Delete, "Liffn"},
        {"DELETE Pcomp.* FROM Pcomp WHERE 1", Kind::Delete, "Pcomp"},
        {"select count(*) from Club", Kind::None, ""},
        {"INSERT Licence VALUES (1)", Kind::None, ""},
        {"", Kind::None, ""},
    };
    for (const Case& c : cases) {
        StatementTarget target = statementTarget(c.sql);
        EXPECT_EQ(target.kind, c.kind) << c.sql;
        EXPECT_EQ(target.table, c.table) << c.sql;
    }
}

TEST(ChangeCounts, CountsWhileOnAndForgetsWhatWasUndone) {
    test::ScratchDir dir;
    std::string path = dir.file("club.db");
    test::createClubDatabase(path);
    ChangeCountingDatabase db(openDatabase(path, {}));
    db.begin(Database::Lock::Write);
    db.execute(test::sql("UPDATE Info SET LastClose = false"));  // before counting starts
    db.startCounting();
    db.execute(test::sql("INSERT INTO Piscine (Nom) VALUES ('A')"));
    db.appendRow("piscine", {{"Nom", std::string("B")}});
    db.execute(test::sql("update Piscine set Nom = 'C'"));
    db.execute(test::sql("DELETE FROM Piscine WHERE Nom = 'nothing'"));
    ASSERT_EQ(db.changes().size(), 1u);
    const TableChanges& piscine = db.changes().at("piscine");
    EXPECT_EQ(piscine.table, "Piscine");
    EXPECT_EQ(piscine.inserted, 2);
    EXPECT_GE(piscine.updated, 2);
    EXPECT_EQ(piscine.deleted, 0);
    db.rollback();
    db.forgetChanges();
    EXPECT_TRUE(db.changes().empty());
}

}  // namespace
}  // namespace couloir
