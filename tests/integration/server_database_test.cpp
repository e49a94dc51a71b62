// The database interface on both engines side by side (in the server run
// only): what the libraries rely on of SQLite holds on PostgreSQL too.
#include <gtest/gtest.h>

#include "shared/error.h"
#include "test_support.h"

namespace couloir {
namespace {

class BothEngines : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::testServer()) GTEST_SKIP() << "runs on the test server (tests/postgres/cluster.sh)";
        std::string file = dir_.file("club.db");
        test::createClubDatabaseFile(file);
        names_ = {file, test::createClubDatabase(dir_.file("server.db"))};
    }

    // Runs `use` on each engine's database; the rows it leaves must match.
    template <typename Use>
    void onBoth(Use&& use) {
        std::vector<std::vector<std::string>> contents;
        for (const std::string& name : names_) {
            SCOPED_TRACE(name);
            auto db = openDatabase(name, DatabaseOptions{.nullText = NullText::Empty});
            use(*db);
            db.reset();
            contents.push_back(test::contentOf(name));
        }
        EXPECT_EQ(contents[0], contents[1]);
    }

    test::ScratchDir dir_;
    std::vector<std::string> names_;
};

TEST_F(BothEngines, AFailingStatementIsUndoneAloneAndTheCallGoesOn) {
    onBoth([](Database& db) {
        db.begin(Database::Lock::Write);
        db.execute(test::sql("INSERT INTO Pays (code) VALUES ('ZZZ')"));
        EXPECT_THROW(db.execute(test::sql("INSERT INTO Nage (Code_Nage) VALUES (1)")), Error);  // unique index
        EXPECT_THROW(db.execute(test::sql("SELECT no_such_column FROM Pays")), Error);
        EXPECT_EQ(db.execute(test::sql("UPDATE Pays SET code = 'ZZY' WHERE code = 'zzz'")), 1);  // without regard to case
        db.commit();
    });
}

TEST_F(BothEngines, OneStatementPerCallAndValuesReadAlike) {
    onBoth([](Database& db) {
        db.begin(Database::Lock::Write);
        try {
            db.execute(test::sql("DELETE FROM Pays; DELETE FROM Region"));
            ADD_FAILURE() << "two statements ran";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errors::kTextAfterStatement);
        }
        EXPECT_EQ(test::queryRows(db, "SELECT Mixte, Distance, Nb_nageurs * 1.5, count(*) FROM Nage WHERE Code_Nage = 34 "
                                      "GROUP BY Mixte, Distance, Nb_nageurs"),
                  std::vector<std::string>{"1|200|6|1"});
        EXPECT_EQ(test::queryRows(db, "SELECT First(Libelle) FROM Nage WHERE Code_Nage = 88"),
                  std::vector<std::string>{"4x100 NL Mixte"});
        EXPECT_EQ(db.lValeurScalaire(test::sql("SELECT count(*) FROM Pays WHERE code = 'fra'")), 1);
        EXPECT_THROW(db.lValeurScalaire(test::sql("SELECT code FROM Pays WHERE code = 'FRA'")), Error);  // not a number
        db.rollback();
    });
}

TEST_F(BothEngines, AppendedRowsAreNumberedAsSqliteNumbersThem) {
    std::vector<std::vector<std::int64_t>> numbers;
    onBoth([&](Database& db) {
        std::vector<std::int64_t> got;
        got.push_back(db.appendRow("Piscine", {{"Nom", std::string("hors appel")}}));  // stored at once
        db.begin(Database::Lock::Write);
        got.push_back(db.appendRow("Piscine", {{"Nom", std::string("Tournesol")}}));
        got.push_back(db.appendRow("Piscine", {{"Num", std::int64_t{40}}, {"Nom", std::string("donné")}}));
        got.push_back(db.appendRow("Piscine", {{"Nom", std::string("après")}}));
        got.push_back(db.lValeurScalaire(test::sql("SELECT count(*) FROM Piscine")));
        db.execute(test::sql("DELETE FROM Piscine WHERE Num = 41"));
        got.push_back(db.appendRow("Piscine", {{"Nom", std::string("reprend")}}));
        db.execute(test::sql("INSERT INTO Piscine (Nom) VALUES ('par instruction')"));
        got.push_back(db.lValeurScalaire(test::sql("SELECT max(Num) FROM Piscine")));
        db.commit();
        numbers.push_back(got);
    });
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers[0], numbers[1]);
    EXPECT_EQ(numbers[1], (std::vector<std::int64_t>{2, 3, 40, 41, 5, 41, 42}));
}

TEST_F(BothEngines, WalksNestAndStopEarly) {
    onBoth([](Database& db) {
        db.begin(Database::Lock::Read);
        int outer = 0, inner = 0;
        db.forEachRow(test::sql("SELECT Code_Nage FROM Nage ORDER BY Code_Nage"), [&](const Row& row) {
            db.forEachRow(test::sql("SELECT Libelle FROM Nage WHERE Code_Nage = " + row.text(0)), [&](const Row&) {
                ++inner;
                return true;
            });
            return ++outer < 5;
        });
        EXPECT_EQ(outer, 5);
        EXPECT_EQ(inner, 5);
        EXPECT_EQ(db.lValeurScalaire(test::sql("SELECT count(*) FROM Nage")), 62);
        db.rollback();
    });
}

TEST_F(BothEngines, BoundValuesAreStoredAsTheyStandWhateverTheirPlace) {
    const std::string hostile = "O'Brien ? $1 -- ; DELETE FROM Club; /* */ \\";
    onBoth([&](Database& db) {
        db.begin(Database::Lock::Write);
        db.execute(Statement::insert("INSERT INTO", "Piscine").sql(" (Nom) VALUES (").text(hostile).sql(")"));
        EXPECT_EQ(db.lValeurScalaire(Statement("SELECT count(*) FROM Piscine WHERE Nom = ").text(hostile)), 1);
        // A value alone in the select list, where its type can only come from the value itself.
        EXPECT_EQ(db.lValeurScalaire(Statement("SELECT ").number(42)), 42);
        EXPECT_EQ(db.ChargerColonnes(Statement("SELECT ").text("texte seul")).at(0, 0), "texte seul");
        EXPECT_EQ(db.ChargerColonnes(Statement("SELECT ").real(1.25)).at(0, 0), "1.25");
        EXPECT_EQ(db.lValeurScalaire(Statement("SELECT count(*) FROM Nage WHERE Mixte = ").boolean(true)),
                  db.lValeurScalaire(test::sql("SELECT count(*) FROM Nage WHERE Mixte = true")));
        // A whole number compared with a text column, as the literal would be.
        EXPECT_EQ(db.lValeurScalaire(Statement("SELECT count(*) FROM Departement WHERE Code = ").text("075")), 1);
        db.commit();
    });
}

TEST(ServerStatements, AStatementThatFailsAtItsFirstRunIsPreparedOnce) {
    if (!test::testServer()) GTEST_SKIP() << "runs on the test server (tests/postgres/cluster.sh)";
    test::ScratchDir dir;
    auto db = openDatabase(test::createClubDatabase(dir.file("server.db")), DatabaseOptions{});
    db->begin(Database::Lock::Write);
    const Statement prepared("SELECT count(*) FROM pg_prepared_statements");
    auto failOnce = [&] {
        // Code_Nage 1 is there already: the unique index refuses it at every run.
        EXPECT_THROW(db->execute(Statement::insert("INSERT INTO", "Nage").sql(" (Code_Nage) VALUES (").number(1).sql(")")),
                     Error);
    };
    failOnce();
    std::int32_t afterOne = db->lValeurScalaire(prepared);
    for (int run = 0; run < 25; ++run) failOnce();
    EXPECT_EQ(db->lValeurScalaire(prepared), afterOne);
    // The call goes on: the failures were undone alone.
    EXPECT_EQ(db->lValeurScalaire(Statement("SELECT count(*) FROM Nage WHERE Code_Nage = ").number(1)), 1);
    db->rollback();
}

}  // namespace
}  // namespace couloir
