#include <gtest/gtest.h>

#include "shared/error.h"
#include "shared/statement.h"

namespace couloir {
namespace {

TEST(Statement, ValuesStayOutOfTheTextAndComeBackInItsShownForm) {
    Statement statement = Statement("select Num from Licence where Code_Club = ")
                              .text("L'Isle")
                              .sql(" and Licence = ")
                              .text("95")
                              .sql(" and Num > ")
                              .number(" 007 ")
                              .sql(" and Tps < ")
                              .decimal("65.3000")
                              .sql(" and Visible = ")
                              .boolean(true);
    EXPECT_EQ(statement.marked(), "select Num from Licence where Code_Club = ? and Licence = ? and Num > ? and Tps < ? "
                                  "and Visible = ?");
    EXPECT_EQ(statement.numbered(), "select Num from Licence where Code_Club = $1 and Licence = $2 and Num > $3 and "
                                    "Tps < $4 and Visible = $5");
    ASSERT_EQ(statement.values().size(), 5u);
    EXPECT_EQ(std::get<std::string>(statement.values()[0]), "L'Isle");
    EXPECT_EQ(std::get<std::int64_t>(statement.values()[2]), 7);
    EXPECT_DOUBLE_EQ(std::get<double>(statement.values()[3]), 65.3);
    // Written in as the statement would have been written, spelling kept.
    EXPECT_EQ(statement.shown(), "select Num from Licence where Code_Club = 'L''Isle' and Licence = '95' and Num > 007 "
                                 "and Tps < 65.3000 and Visible = true");
    EXPECT_EQ(statement.target().kind, StatementTarget::Kind::None);
}

TEST(Statement, AQuestionMarkInAValueOrInTheWordsIsNoMark) {
    Statement statement = Statement("select '?' from Club where Intitule = ").text("Qui ? Moi ?");
    EXPECT_EQ(statement.numbered(), "select '?' from Club where Intitule = $1");
    EXPECT_EQ(statement.shown(), "select '?' from Club where Intitule = 'Qui ? Moi ?'");
}

TEST(Statement, OnlyNumbersPassAsNumbersAndNamesAsNames) {
    Statement statement("x = ");
    EXPECT_THROW(statement.number("12 OR 1=1"), Error);
    EXPECT_THROW(statement.number(""), Error);
    EXPECT_THROW(statement.number("1.5"), Error);
    EXPECT_THROW(statement.decimal("1e10"), Error);
    EXPECT_THROW(statement.decimal(""), Error);
    EXPECT_THROW(statement.decimal(".5"), Error);
    EXPECT_THROW(statement.name("Licence; DROP TABLE Club"), Error);
    EXPECT_THROW(statement.name("1abc"), Error);
    EXPECT_THROW(statement.text(std::string_view("a\0b", 3)), Error);
    EXPECT_TRUE(statement.values().empty());  // nothing refused was kept
    EXPECT_EQ(std::get<std::int64_t>(Statement().decimal("-2").values()[0]), -2);
    // Past 64 bits a file's number stays a number, a real.
    EXPECT_TRUE(std::holds_alternative<double>(Statement().number("99999999999999999999").values()[0]));
}

TEST(Statement, ChangingStatementsKnowTheirTable) {
    Statement update = Statement::update("Update", "Club").sql(" set Intitule = ").text("X");
    EXPECT_EQ(update.shown(), "Update Club set Intitule = 'X'");
    EXPECT_EQ(update.target().kind, StatementTarget::Kind::Update);
    EXPECT_EQ(update.target().table, "Club");
    EXPECT_EQ(Statement::remove("DELETE FROM", "Liffn").target().kind, StatementTarget::Kind::Delete);
    EXPECT_EQ(Statement::insert("INSERT INTO", "Pcomp").marked(), "INSERT INTO Pcomp");
}

TEST(Statement, ASubqueryBringsItsValuesInOrder) {
    Statement inner = Statement("SELECT Num FROM Licence WHERE Code_Club = ").text("A").readsOnly("Licence");
    Statement outer = Statement("SELECT * FROM Liffn WHERE Num_compet = ").number(3).sql(" AND Num_Lic IN (");
    outer.append(inner).sql(") AND Tps < ").decimal("1.5");
    EXPECT_EQ(outer.numbered(), "SELECT * FROM Liffn WHERE Num_compet = $1 AND Num_Lic IN (SELECT Num FROM Licence "
                                "WHERE Code_Club = $2) AND Tps < $3");
    EXPECT_EQ(outer.shown(), "SELECT * FROM Liffn WHERE Num_compet = 3 AND Num_Lic IN (SELECT Num FROM Licence WHERE "
                             "Code_Club = 'A') AND Tps < 1.5");
}

TEST(Statement, TablesReadAreDeclaredOrAny) {
    EXPECT_TRUE(Statement("select 1").mayTouch("Liffn"));
    Statement lookup = Statement("select Num from Licence where Licence = ").text("1").readsOnly("Licence");
    EXPECT_TRUE(lookup.mayTouch("licence"));
    EXPECT_FALSE(lookup.mayTouch("Liffn"));
}

}  // namespace
}  // namespace couloir
