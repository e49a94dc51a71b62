#include "results_import/performance_history.h"

#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

const std::string kPerformances =
    "SELECT Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Age, Passage_relais, Tps_inter, Num_compet "
    "FROM Liffn ORDER BY rowid";
const std::string kPerformancesRelais =
    "SELECT Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Licence1, Licence2, Licence3, Licence4, Licence5, "
    "Licence10, Num_compet FROM Liffn_relais ORDER BY rowid";
const std::string kResultatsRelais =
    "SELECT Code_epreuve, Num_Lic, Tps, Licence1, Licence2, Licence3, Licence4, Licence5, Licence10 "
    "FROM Prres_relais ORDER BY rowid";

class IndividualPerformances : public ResultsFixture {
protected:
    IndividualPerformances() { num = nageur("080001", "F", "15"); }

    // "code|club|day|Num|time|age|relay leg|split|competition" for the swimmer.
    std::string ligne(const std::string& epreuve, const std::string& temps, bool inter) {
        return epreuve + "|" + kClub + "|20260305|" + num + "|" + temps + "|15| |" + (inter ? "1" : "0") + "|7";
    }
    std::string num;
};

TEST_F(IndividualPerformances, ASwimAndItsShorterDistancesFromTheSplits) {
    Resultat deuxCents{.licence = "080001", .temps = "02.1045"};
    deuxCents.inters[0] = "01.3500";  // split 1: 150 m, no event of its own
    deuxCents.inters[1] = "01.0500";
    deuxCents.inters[2] = "00.3000";

    ASSERT_TRUE(importer({deuxCents}));

    EXPECT_EQ(rows(kPerformances), (std::vector<std::string>{ligne("3", "2.1045", false), ligne("2", "1.05", true),
                                                             ligne("1", "0.3", true)}));
}

TEST_F(IndividualPerformances, BlankSplitsAndMissingTimesGiveNoRow) {
    Resultat splitManquant{.licence = "080001"};
    splitManquant.inters[2] = "00.3000";
    Resultat sansTemps{.licence = "080001", .temps = ""};
    sansTemps.inters[1] = "01.0600";
    Resultat unCinquante{.epreuve = "01", .licence = "080001", .temps = "00.2900"};
    unCinquante.inters[0] = "00.1400";

    ASSERT_TRUE(importer({splitManquant, sansTemps, unCinquante}));

    // Without its own time a swim still gives its splits, marked as splits.
    EXPECT_EQ(rows(kPerformances),
              (std::vector<std::string>{ligne("3", "2.1045", false), ligne("1", "0.3", true), ligne("2", "1.06", true),
                                        "1|" + kClub + "||" + num + "|0.29|15| |0|7"}));
}

TEST_F(IndividualPerformances, AnEventCodeOutsideTheTableIsAnError) {
    ChampsResultat champs;
    champs[kChampEpreuve] = "150";
    champs[kChampTemps] = "2.1";
    LigneResolue ligne;
    ligne.tablePerformance = "Liffn";
    ligne.age = "15";
    TableSousEpreuves table = ChargerSousEpreuves();
    JoursProgramme jours(context.tabDatesNages);

    EXPECT_FALSE(bInsererPerformances(context, 4, champs, ligne, table, jours));

    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 4.\n"
              "Une erreur s'est produite lors de l'ajout dans la table des performances.\n"
              "Erreur n° 9: L'indice n'appartient pas à la sélection\n");
}

TEST(SousEpreuves, MenRepeatTheWomensEventsAndMixedRelaysAreNotCopied) {
    TableSousEpreuves table = ChargerSousEpreuves();
    auto paires = [&](int epreuve) {
        std::string texte;
        for (auto [derivee, inter] : table[static_cast<std::size_t>(epreuve)])
            texte += "(" + std::to_string(derivee) + "," + std::to_string(inter) + ")";
        return texte;
    };
    EXPECT_EQ(paires(52), "(51,1)");
    EXPECT_EQ(paires(93), "(52,6)(51,7)");
    EXPECT_EQ(paires(34), "(103,6)(102,7)");
    EXPECT_EQ(paires(84), "(101,10)");
    EXPECT_EQ(paires(1), "");
    EXPECT_EQ(paires(51), "");
}

class RelayPerformances : public ResultsFixture {
protected:
    RelayPerformances() {
        premier = nageur("080001", "F", "18", "FRA1000000009", false);
        deuxieme = nageur("080002");
        reference = context.strNageurReference;
    }

    // A relay line of `epreuve` for team R2001F, its first leg in split 6 and split 7.
    Resultat relais(const std::string& epreuve, const std::string& temps = "03.4512") {
        Resultat ligne{.epreuve = epreuve, .licence = "R2001F", .temps = temps};
        ligne.inters[5] = "00.5500";
        ligne.inters[6] = "00.2600";
        ligne.inters[9] = "00.2500";
        return ligne;
    }
    void declarer(const std::string& epreuve, const std::string& sexePremier) {
        db().execute("UPDATE Licence SET Sexe = '" + sexePremier + "' WHERE Num = " + premier);
        ResultsFixture::relais(epreuve + kClub + "R2001F", premier + "~" + deuxieme, "18");
    }
    // The first swimmer's performance rows: "code|time|split".
    std::vector<std::string> premiereFraction() {
        return rows("SELECT Code_epreuve, Tps, Tps_inter FROM Liffn WHERE Num_Lic = " + premier +
                    " AND Code_club = 'FRA1000000009' AND Age = 18 AND Passage_relais = 'R' ORDER BY rowid");
    }
    std::string premier, deuxieme, reference;
};

TEST_F(RelayPerformances, TheRelayRowThenTheFirstLegOfItsFirstSwimmer) {
    declarer("43", "F");
    ASSERT_TRUE(importer({relais("43")}));

    std::string relayeurs = premier + "|" + deuxieme + "|" + reference + "|" + reference + "|" + reference + "|";
    EXPECT_EQ(rows(kResultatsRelais), std::vector<std::string>{"43|1|3.4512|" + relayeurs + reference});
    EXPECT_EQ(rows(kPerformancesRelais),
              std::vector<std::string>{"43|" + kClub + "|20260306|1|3.4512|" + relayeurs + reference + "|7"});
    EXPECT_EQ(rows("SELECT Date_perf FROM Liffn"), (std::vector<std::string>{"20260306", "20260306"}));
    EXPECT_EQ(premiereFraction(), (std::vector<std::string>{"2|0.55|0", "1|0.26|1"}));
    EXPECT_EQ(traceText(), "Récupération de 1 résultat.\n0 club ajouté avec le libellé Null.\n\n");
}

TEST_F(RelayPerformances, MixedRelaysTakeTheFirstLegEventFromTheFirstSwimmersSex) {
    struct Cas {
        std::string epreuve, sexe;
        std::vector<std::string> attendu;
    };
    for (const Cas& cas :
         {Cas{"88", "M", {"52|0.55|0", "51|0.26|1"}}, Cas{"88", "F", {"2|0.55|0", "1|0.26|1"}}, Cas{"88", "", {}},
          Cas{"34", "F", {"3|0.55|0", "2|0.26|1"}}, Cas{"34", "M", {"53|0.55|0", "52|0.26|1"}}, Cas{"84", "X", {}}}) {
        context.colCompositionsRelais.clear();
        context.colAgesPremierRelayeur.clear();
        db().execute("DELETE FROM Liffn");
        declarer(cas.epreuve, cas.sexe);
        ASSERT_TRUE(importer({relais(cas.epreuve)}));
        EXPECT_EQ(premiereFraction(), cas.attendu) << cas.epreuve << " " << cas.sexe;
    }
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn_relais"), std::vector<std::string>{"6"});
}

TEST_F(RelayPerformances, ARelayWithoutValidTimeStillGivesItsFirstLegOnly) {
    declarer("43", "F");
    ASSERT_TRUE(importer({relais("43", "")}));

    EXPECT_EQ(rows("SELECT Tps FROM Prres_relais"), std::vector<std::string>{"94"});
    EXPECT_TRUE(rows("SELECT * FROM Liffn_relais").empty());
    EXPECT_EQ(premiereFraction(), (std::vector<std::string>{"2|0.55|0", "1|0.26|1"}));
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn"), std::vector<std::string>{"2"});
}

TEST_F(RelayPerformances, AFirstSwimmerWithoutLicenceRowIsOnlyWarnedAbout) {
    ResultsFixture::relais("43" + kClub + "R2001F", "99999~" + deuxieme, "18");
    ASSERT_TRUE(importer({relais("43")}));

    EXPECT_EQ(rows("SELECT Licence1, Licence2, Licence3 FROM Prres_relais"),
              std::vector<std::string>{"99999|" + deuxieme + "|" + reference});
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn_relais"), std::vector<std::string>{"1"});
    EXPECT_TRUE(rows("SELECT * FROM Liffn").empty());
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\n"
              "Impossible de retrouver le club du premier relayeur\n"
              "Temps intermédiaires non mémorisés.\n"
              "Récupération de 1 résultat.\n0 club ajouté avec le libellé Null.\n\n");
}

TEST_F(RelayPerformances, TheTeamNumberIsCharactersThreeToFiveOfTheRelayCode) {
    ResultsFixture::relais("43" + kClub + "R2053F", "", "");
    ResultsFixture::relais("43" + kClub + "R2   F", "", "");
    Resultat equipe53 = relais("43"), sansNumero = relais("43");
    equipe53.licence = "R2053F";
    sansNumero.licence = "R2   F";

    ASSERT_TRUE(importer({equipe53, sansNumero}));

    EXPECT_EQ(rows("SELECT Num_Lic, Licence1, Licence10 FROM Prres_relais ORDER BY rowid"),
              (std::vector<std::string>{"53|" + reference + "|" + reference, "0|" + reference + "|" + reference}));
    EXPECT_TRUE(rows("SELECT * FROM Liffn").empty());
}

TEST_F(RelayPerformances, ARelayMissingFromRelaisTxtStopsTheStep) {
    ASSERT_FALSE(importer({relais("43")}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Impossible de retrouver la composition du relais de code 43FRA1000000001R2001F "
              "(code epreuve + code club + licence).\n"
              "Le relais n'est pas déclaré dans le fichier relais.txt\n"
              "Import des résultats interrompu.\n\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
