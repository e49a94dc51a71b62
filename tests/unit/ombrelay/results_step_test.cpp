#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

const std::string kResultRow =
    "SELECT Num_compet, Code_epreuve, Type_course, Numero_serie, Num_categorie, Numero_couloir, "
    "Numero_ordre_couloir, Code_club, Num_Lic, Tps, Inter1, Inter2, Inter14, Cotation_Fede FROM Prres ORDER BY rowid";

class ResultsStep : public ResultsFixture {};

TEST_F(ResultsStep, StoresHeatsAndFinalsAndComputesOnlyMissingPoints) {
    std::string num = addSwimmer("080001");
    ResultRecord heatSwim{.heat = "03", .licence = "080001", .points = ""};
    heatSwim.splits[0] = "01.0523";
    ResultRecord finalSwim{
        .type = "F", .heat = "31", .lane = "5", .order = "2", .licence = "080001", .time = "02.0500"};

    ASSERT_TRUE(import({heatSwim, finalSwim}));

    EXPECT_EQ(rows(kResultRow),
              (std::vector<std::string>{"7|3|S|3|0|4|1|" + kClub + "|" + num + "|2.1045|1.0523|0|0|777",
                                        "7|3|F|1|3|5|2|" + kClub + "|" + num + "|2.05|0|0|0|100"}));
    ASSERT_EQ(pointsCalls.size(), 1u);
    EXPECT_EQ(pointsCalls[0], std::make_pair(3.0, 2.1045));
    EXPECT_EQ(traceText(), "Récupération de 2 résultats.\n0 club ajouté avec le libellé Null.\n\n");
}

TEST_F(ResultsStep, AnUnknownClubIsCreatedOnceForAllItsLines) {
    const std::string club = "FRA1000000002";
    addSwimmer("080001", "F", "15", club);
    addSwimmer("080002", "F", "15", club);

    ASSERT_TRUE(
        import({ResultRecord{.club = club, .licence = "080001"}, ResultRecord{.club = club, .licence = "080002"}}));

    EXPECT_EQ(rows("SELECT Intitule, Selection FROM Club WHERE Code_federal = '" + club + "'"),
              std::vector<std::string>{"Null|0"});
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\n"
              "Code club (FRA1000000002) inconnu de la base. Création avec Le libelle Null\n"
              "Récupération de 2 résultats.\n"
              "1 club ajouté avec le libellé Null.\n\n");
}

TEST_F(ResultsStep, AClubThatCannotBeCreatedStopsTheStep) {
    ASSERT_FALSE(import({ResultRecord{.club = "XYZ1000000001", .licence = "080001"}}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Code club (XYZ1000000001) inconnu de la base. Echec de la création avec Le libelle Null.\n"
              "Le code club est erronné : XYZ1000000001\n"
              "Import des résultats interrompu.\n\n");
}

TEST_F(ResultsStep, ASwimmerIsFoundByClubAndLicenceTogether) {
    addSwimmer("080001", "F", "15", "FRA1000000009");
    ASSERT_FALSE(import({ResultRecord{.licence = "080001"}}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Impossible de retrouver la licence de code FRA1000000001080001 (code club + licence).\n"
              "Celle ci n'était pas dans le fichier licence.txt\n"
              "Import des résultats interrompu.\n\n");
    EXPECT_TRUE(rows("SELECT * FROM Prres").empty());
}

// A number field that is blank or holds anything but digits never reaches
// the statement: the insertion fails and the step stops.
class NumberFieldNotANumber : public ResultsFixture, public ::testing::WithParamInterface<ResultRecord> {};

TEST_P(NumberFieldNotANumber, FailsTheInsertion) {
    addSwimmer("080001");
    ASSERT_FALSE(import({GetParam()}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Echec de l'insertion des données dans la table Prres\n"
              "Erreur n° 13: Incompatibilité de type\n"
              "Import des résultats interrompu.\n\n");
    EXPECT_TRUE(rows("SELECT * FROM Prres").empty());
}

INSTANTIATE_TEST_SUITE_P(ResultsStep, NumberFieldNotANumber,
                         ::testing::Values(ResultRecord{.lane = " ", .licence = "080001"},
                                           ResultRecord{.type = "F", .heat = "", .licence = "080001"},
                                           ResultRecord{.event = "3-", .licence = "080001"},
                                           ResultRecord{.heat = "1'", .licence = "080001"},
                                           ResultRecord{.licence = "080001", .points = "1);"}));

TEST_F(ResultsStep, WithoutThePointsComponentTheStepFailsAtItsStart) {
    context.files.prres = file("prres.txt", {ResultRecord{.licence = "080001"}.line()});
    ASSERT_FALSE(ImporterResultats(
        context, 1.0, []() -> PointsCalculator { throw errors::cannotCreateObject("Calcul_Point.ClsCalcul"); }));
    EXPECT_EQ(traceText(),
              "Erreur lors de la récupérations des résultats.\n"
              "Erreur n° 429: Le composant Calcul_Point.ClsCalcul ne peut pas créer d'objet\n"
              "Import des résultats interrompu.\n\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
