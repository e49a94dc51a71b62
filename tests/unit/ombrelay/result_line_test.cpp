#include "results_import/result_line.h"

#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

class ResultLine : public ResultsFixture {
protected:
    bool decouper(const Resultat& resultat, const CalculPoint& calcul) {
        return DecouperLigneResultat(trace, resultat.ligne(), champs, 12, calcul);
    }
    CalculPoint points(const std::string& texte) {
        return [this, texte](double epreuve, double temps) {
            appelsPoints.push_back({epreuve, temps});
            return texte;
        };
    }
    ChampsResultat champs;
};

TEST_F(ResultLine, TimesBecomeDecimalTextsAndAMissingTimeIs94) {
    Resultat resultat{.licence = "080001", .temps = "", .points = ""};
    resultat.inters[0] = "01.0523";
    resultat.inters[1] = "0.3000";
    resultat.inters[13] = "xx";
    ASSERT_EQ(charCount(resultat.ligne()), 138u);

    EXPECT_TRUE(decouper(resultat, points(" 12 ")));

    EXPECT_EQ(champs[kChampTemps], "94");
    EXPECT_EQ(champs[kChampTemps + 1], "1.0523");
    EXPECT_EQ(champs[kChampTemps + 2], "0.3");
    EXPECT_EQ(champs[kChampTemps + 3], "0");
    EXPECT_EQ(champs[kChampTemps + 14], "0");
    EXPECT_EQ(champs[kChampPoints], "12");
    ASSERT_EQ(appelsPoints.size(), 1u);
    EXPECT_EQ(appelsPoints[0], std::make_pair(3.0, 94.0));
    EXPECT_EQ(champs[kChampClub], kClub);
    EXPECT_EQ(champs[kChampLicence], "080001");
    EXPECT_EQ(traceText(), "");
}

TEST_F(ResultLine, PointsGivenByTheFileAreKeptAsTheyStand) {
    EXPECT_TRUE(decouper(Resultat{.licence = "080001", .points = "0012"}, points("1")));
    EXPECT_EQ(champs[kChampPoints], "0012");
    EXPECT_TRUE(appelsPoints.empty());
}

TEST_F(ResultLine, UnknownRaceTypeIsAWarningAndABlankOneStaysOneSpace) {
    EXPECT_TRUE(decouper(Resultat{.type = "X", .licence = "080001"}, points("1")));
    EXPECT_EQ(champs[kChampTypeCourse], "X");
    EXPECT_TRUE(decouper(Resultat{.type = " ", .licence = "080001"}, points("1")));
    EXPECT_EQ(champs[kChampTypeCourse], " ");
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 12.\nType de course inconnu : X.\n"
              "Warning Ligne n° : 12.\nType de course inconnu :  .\n");
}

TEST_F(ResultLine, AFailingPointsComponentIsReportedAndTheFieldsStay) {
    CalculPoint enPanne = [](double, double) -> std::string { throw Error(1, "Temps de base introuvable"); };
    EXPECT_FALSE(decouper(Resultat{.licence = "080001", .points = ""}, enPanne));
    EXPECT_EQ(champs[kChampTemps], "2.1045");
    EXPECT_EQ(champs[kChampPoints], "");
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 12.\n"
              "Une erreur s'est produite lors de l'extraction des données.\n"
              "Erreur n° 1: Temps de base introuvable\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
