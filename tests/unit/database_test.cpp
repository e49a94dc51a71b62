#include <gtest/gtest.h>

#include "shared/connection.h"
#include "shared/database.h"
#include "shared/error.h"
#include "test_support.h"

namespace couloir {
namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("club.db");
        test::createClubDatabase(path_);
    }
    test::ScratchDir dir_;
    std::string path_;
};

TEST_F(DatabaseTest, ConnectionMarksTheDatabaseOpenThenClosed) {
    Connection connection;
    std::string error;
    ASSERT_TRUE(connection.bConnexion(path_, error)) << error;
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Info where LastClose = false")), 1);
    ASSERT_TRUE(connection.bDeconnexion(error));
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Info where LastClose = true")), 1);
    EXPECT_TRUE(connection.bDeconnexion(error));  // closing twice does nothing
}

TEST(CaughtError, EveryExceptionBecomesANumberedError) {
    auto caught = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return caughtError();
        }
        return Error(0, "");
    };
    EXPECT_EQ(caught([] { throw errors::overflow(); }).number(), errors::kOverflow);
    EXPECT_EQ(caught([] { throw std::bad_alloc(); }).description(), "Mémoire insuffisante");
    Error other = caught([] { throw std::out_of_range("vector"); });
    EXPECT_EQ(other.number(), errors::kInternalError);
    EXPECT_EQ(other.description(), "Erreur interne : vector");
    EXPECT_EQ(caught([] { throw 42; }).description(), "Erreur interne");
}

TEST_F(DatabaseTest, ConnectionNeverCreatesADatabase) {
    Connection connection;
    std::string error;
    EXPECT_FALSE(connection.bConnexion(dir_.file("missing.db"), error));
    EXPECT_EQ(error.rfind("Erreur n° ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.db")));

    test::writeBytes(dir_.file("junk.db"), std::string(4096, '\x7f'));
    EXPECT_FALSE(connection.bConnexion(dir_.file("junk.db"), error));
    EXPECT_FALSE(connection.isOpen());

    // Nor turns an empty file or another program's database into one.
    test::writeBytes(dir_.file("empty.db"), "");
    EXPECT_FALSE(connection.bConnexion(dir_.file("empty.db"), error));
    EXPECT_EQ(error.rfind("Erreur n° 3343: ", 0), 0u) << error;
    EXPECT_EQ(std::filesystem::file_size(dir_.file("empty.db")), 0u);
    test::runScript(dir_.file("other.db"), "CREATE TABLE Notes (texte TEXT)");
    EXPECT_FALSE(connection.bConnexion(dir_.file("other.db"), error));
}

TEST_F(DatabaseTest, StatementsRunAsTheLibrariesWriteThem) {
    auto db = openDatabase(path_, {});
    db->execute(test::sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('FRA5120750001', 'L''Étoile', false);"));
    db->execute(test::sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('FRA5120750002', 'Autre', true);"));
    // Text compares without regard to case, and the statements' names may use any case.
    EXPECT_EQ(db->lValeurScalaire(test::sql("select count(*) from CLUB where code_FEDERAL = 'fra5120750001'")), 1);
    Columns columns = db->ChargerColonnes(test::sql("select Num, Intitule, Selection from Club where Code_federal like 'FRA512075%' order by 1"));
    ASSERT_EQ(columns.rowCount(), 2u);
    EXPECT_EQ(columns.at(1, 0), "L'Étoile");
    EXPECT_EQ(columns.at(2, 1), "1");
    EXPECT_EQ(db->ChargerColonnes(test::sql("select First(Intitule) from Club where Code_federal like 'FRA512075%'")).at(0, 0),
              "L'Étoile");
    EXPECT_FALSE(db->ChargerColonnes(test::sql("select Num from Club where Intitule = 'nobody'")).hasRows());
    EXPECT_EQ(db->execute(test::sql("UPDATE Club SET Selection = true WHERE Code_federal like 'FRA512075%'")), 2);
    EXPECT_EQ(db->execute(test::sql("UPDATE Club SET Selection = true WHERE Intitule = 'nobody'")), 0);
}

TEST_F(DatabaseTest, ReadsFollowTheLibrarysNullRule) {
    auto strict = openDatabase(path_, DatabaseOptions{NullText::Error});
    strict->execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES (null, 'Sans code')"));
    EXPECT_THROW(strict->ChargerColonnes(test::sql("select Code_federal from Club where Intitule = 'Sans code'")), Error);
    strict->commit();
    auto lenient = openDatabase(path_, DatabaseOptions{NullText::Empty});
    EXPECT_EQ(lenient->ChargerColonnes(test::sql("select Code_federal from Club where Intitule = 'Sans code'")).at(0, 0), "");
}

TEST_F(DatabaseTest, ScalarNeedsARowAndAValue) {
    auto db = openDatabase(path_, {});
    try {
        db->lValeurScalaire(test::sql("select Num from Club where Intitule = 'nobody'"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kNoCurrentRecord);
    }
    EXPECT_THROW(db->lValeurScalaire(test::sql("select null")), Error);
    EXPECT_EQ(db->lValeurScalaire(test::sql("select 2.5")), 2);
}

TEST_F(DatabaseTest, ReusedShapesKeepTheirOwnValues) {
    auto db = openDatabase(path_, {});
    db->begin(Database::Lock::Write);
    for (int i = 0; i < 5000; ++i)
        db->execute(test::sql("INSERT INTO Categori (Num_compet, Num_cat, Annee_depart, Annee_fin, Libelle) VALUES (7, " +
                    std::to_string(i) + ", 2010, 2011, 'Cat " + std::to_string(i) + "');"));
    EXPECT_EQ(db->lValeurScalaire(test::sql("select count(*) from Categori where Num_compet = 7")), 5000);
    EXPECT_EQ(db->ChargerColonnes(test::sql("select Libelle from Categori where Num_cat = 4321")).at(0, 0), "Cat 4321");
    EXPECT_THROW(db->execute(test::sql("INSERT INTO Nowhere VALUES (1)")), Error);
    db->commit();
    // Another connection sees every committed row.
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Categori")), 5000);
}

TEST_F(DatabaseTest, AppendRowReturnsTheNewCounter) {
    auto db = openDatabase(path_, {});
    std::int64_t num = db->appendRow("Licence", {{"Code_club", std::string("FRA0000000000")},
                                                 {"licence", std::string("1")},
                                                 {"Nom", std::string("Autre")},
                                                 {"Visible", std::int64_t{0}}});
    EXPECT_EQ(db->lValeurScalaire(test::sql("select Num from Licence where Nom = 'Autre'")), num);
}

TEST_F(DatabaseTest, OneCallRunsOneStatement) {
    auto db = openDatabase(path_, {});
    auto clubs = test::contentOf(path_);
    // Through the compiled shapes, the literal fallback (a shape that does not
    // compile) and the statements that run as written alike.
    for (const char* sql : {"UPDATE Club SET Intitule = 'x' WHERE Num = 1; DELETE FROM Club",
                            "SELECT Num FROM Club WHERE Nom = 1; DELETE FROM Club",
                            "PRAGMA user_version = 3; DELETE FROM Club"}) {
        try {
            db->execute(test::sql(sql));
            ADD_FAILURE() << sql;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errors::kTextAfterStatement) << sql;
        }
    }
    const char withNul[] = "UPDATE Club SET Intitule = 'x'\0; DELETE FROM Club";
    EXPECT_THROW(db->execute(test::sql(std::string(withNul, sizeof withNul - 1))), Error);
    EXPECT_EQ(test::contentOf(path_), clubs);
    // A trailing semicolon, blanks or a comment are no second statement.
    EXPECT_NO_THROW(db->execute(test::sql("UPDATE Club SET Selection = false WHERE Num = 1;  -- done")));
    EXPECT_NO_THROW(db->execute(test::sql("PRAGMA user_version = 3;")));
}

TEST_F(DatabaseTest, AppendedRowsNameTablesAndColumnsByPlainIdentifiers) {
    auto db = openDatabase(path_, {});
    EXPECT_THROW(db->appendRow("Licence; DROP TABLE Club", {{"Nom", std::string("x")}}), Error);
    EXPECT_THROW(db->appendRow("Licence", {{"Nom) VALUES ('x'); --", std::string("x")}}), Error);
    EXPECT_EQ(db->lValeurScalaire(test::sql("select count(*) from Club")), 1);
}

TEST_F(DatabaseTest, ATransactionIsKeptWholeOrNotAtAll) {
    {
        auto db = openDatabase(path_, {});
        db->begin(Database::Lock::Write);
        db->execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'Perdu')"));
        // Closed without a commit, as a killed call would leave it.
    }
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Club where Intitule = 'Perdu'")), 0);

    Connection connection;
    std::string error;
    ASSERT_TRUE(connection.bConnexion(path_, error)) << error;
    connection.db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'Annulé')"));
    connection.discardCall();
    connection.db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750002', 'Gardé')"));
    // While the call works another program sees the open mark, none of its rows.
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Info where LastClose = false")), 1);
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Club")), 1);
    ASSERT_TRUE(connection.bDeconnexion(error)) << error;
    auto check = test::openForCheck(path_);
    EXPECT_EQ(test::queryRows(*check, "select Intitule from Club where Num > 1"), std::vector<std::string>{"Gardé"});
    EXPECT_EQ(check->lValeurScalaire(test::sql("select count(*) from Info where LastClose = true")), 1);
}

TEST_F(DatabaseTest, ASecondWriterWaitsThenGivesUpWithAMessage) {
    auto first = openDatabase(path_, {});
    first->begin(Database::Lock::Write);
    auto second = openDatabase(path_, DatabaseOptions{.busyTimeoutSeconds = 1});
    second->begin(Database::Lock::Read);  // readers are not kept out
    EXPECT_EQ(second->lValeurScalaire(test::sql("select count(*) from Club")), 1);
    second->rollback();
    try {
        second->begin(Database::Lock::Write);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kDatabaseInUse);
        EXPECT_EQ(e.description(), "Impossible d'utiliser " + path_ +
                                       " : la base est utilisée par un autre programme (1 s d'attente sans qu'elle "
                                       "se libère)");
    }
    first->commit();
    EXPECT_NO_THROW(second->begin(Database::Lock::Write));
}

TEST_F(DatabaseTest, CreateRefusesAnExistingFile) {
    EXPECT_THROW(test::createClubDatabase(path_), Error);
    EXPECT_EQ(test::openForCheck(path_)->lValeurScalaire(test::sql("select count(*) from Info")), 1);
}

}  // namespace
}  // namespace couloir
