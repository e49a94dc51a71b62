#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

// An engag.txt record: event code, club, licence column and team number in
// their columns, the rest filled as the entries file would.
std::string entryRecord(const std::string& event, const std::string& club, const std::string& licence,
                        const std::string& team) {
    return "012" + pad(event, 2) + pad(club, 13) + pad(licence, 6) + "0001230" + pad(team, 2) +
           std::string(30, ' ');
}

class TeamEntriesStep : public ResultsFixture {
protected:
    TeamEntriesStep() {
        num = addSwimmer("080001");
        addRelay("43" + kClub + "R2053F", num, "15");
        for (const char* type : {"'S', 1", "'F', 2"})
            db().execute(
                test::sql("INSERT INTO Prres (Num_compet, Code_epreuve, Type_course, Numero_serie, Code_club, Num_Lic) "
                "VALUES (7, 3, " +
                std::string(type) + ", '" + kClub + "', " + num + ")"));
        db().execute(test::sql("INSERT INTO Prres_relais (Num_compet, Code_epreuve, Code_club, Num_Lic) VALUES (7, 43, '" +
                     kClub + "', 53)"));
    }
    bool import(const std::vector<std::string>& lines) {
        context.files.engag = file("engag.txt", lines);
        return MajEquipes(context, 10.0);
    }
    std::string num;
};

TEST_F(TeamEntriesStep, CopiesTeamNumbersToEveryRowOfTheSwimmerOrRelay) {
    ASSERT_EQ(charCount(entryRecord("03", kClub, "080001", "02")), 63u);
    ASSERT_TRUE(import({entryRecord("03", kClub, "080001", "02"), entryRecord("43", kClub, "R2053F", "53")}));

    EXPECT_EQ(rows("SELECT Type_course, Num_equipe FROM Prres ORDER BY rowid"),
              (std::vector<std::string>{"S|2", "F|2"}));
    EXPECT_EQ(rows("SELECT Num_equipe FROM Prres_relais"), std::vector<std::string>{"53"});
    EXPECT_EQ(traceText(), "\n");
}

TEST_F(TeamEntriesStep, EntriesWithoutTeamAreSkippedAndUnknownOnesWarned) {
    ASSERT_TRUE(import({entryRecord("03", kClub, "080001", "00"), entryRecord("03", kClub, "080001", ""),
                        entryRecord("03", kClub, "999999", "01"), entryRecord("44", kClub, "R2053F", "01")}));

    EXPECT_EQ(rows("SELECT Num_equipe FROM Prres"), (std::vector<std::string>{"0", "0"}));
    const std::string warning =
        "Aucune ligne dans le fichier prres.txt ne correspond avec ces informations."
        "Impossible de traiter les informations de cette ligne.\n";
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 3.\n" + warning + "Warning Ligne n° : 4.\n" + warning + "\n");
}

TEST_F(TeamEntriesStep, AnEventCodeThatIsNoNumberEndsTheStep) {
    ASSERT_FALSE(import({entryRecord("03", kClub, "080001", "04"), entryRecord("1'", kClub, "080001", "05")}));

    EXPECT_EQ(rows("SELECT Num_equipe FROM Prres"), (std::vector<std::string>{"4", "4"}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 2.\n"
              "Une erreur s'est produite lors de la mise à jour depuis fichier engag.txt\n"
              "Erreur n° 13: Incompatibilité de type\n\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
