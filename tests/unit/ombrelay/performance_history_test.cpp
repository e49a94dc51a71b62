#include "results_import/performance_history.h"

#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

const std::string kPerformances =
    "SELECT Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Age, Passage_relais, Tps_inter, Num_compet "
    "FROM Liffn ORDER BY rowid";
const std::string kRelayPerformances =
    "SELECT Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Licence1, Licence2, Licence3, Licence4, Licence5, "
    "Licence10, Num_compet FROM Liffn_relais ORDER BY rowid";
const std::string kRelayResults =
    "SELECT Code_epreuve, Num_Lic, Tps, Licence1, Licence2, Licence3, Licence4, Licence5, Licence10 "
    "FROM Prres_relais ORDER BY rowid";

class IndividualPerformances : public ResultsFixture {
protected:
    IndividualPerformances() { num = addSwimmer("080001", "F", "15"); }

    // "code|club|day|Num|time|age|relay leg|split|competition" for the swimmer.
    std::string expectedRow(const std::string& event, const std::string& time, bool isSplit) {
        return event + "|" + kClub + "|20260305|" + num + "|" + time + "|15| |" + (isSplit ? "1" : "0") + "|7";
    }
    std::string num;
};

TEST_F(IndividualPerformances, ASwimAndItsShorterDistancesFromTheSplits) {
    ResultRecord twoHundred{.licence = "080001", .time = "02.1045"};
    twoHundred.splits[0] = "01.3500";  // split 1: 150 m, no event of its own
    twoHundred.splits[1] = "01.0500";
    twoHundred.splits[2] = "00.3000";

    ASSERT_TRUE(import({twoHundred}));

    EXPECT_EQ(rows(kPerformances), (std::vector<std::string>{expectedRow("3", "2.1045", false),
                                                             expectedRow("2", "1.05", true),
                                                             expectedRow("1", "0.3", true)}));
}

TEST_F(IndividualPerformances, BlankSplitsAndMissingTimesGiveNoRow) {
    ResultRecord missingSplit{.licence = "080001"};
    missingSplit.splits[2] = "00.3000";
    ResultRecord noTime{.licence = "080001", .time = ""};
    noTime.splits[1] = "01.0600";
    ResultRecord fifty{.event = "01", .licence = "080001", .time = "00.2900"};
    fifty.splits[0] = "00.1400";

    ASSERT_TRUE(import({missingSplit, noTime, fifty}));

    // Without its own time a swim still gives its splits, marked as splits.
    EXPECT_EQ(rows(kPerformances),
              (std::vector<std::string>{expectedRow("3", "2.1045", false), expectedRow("1", "0.3", true),
                                        expectedRow("2", "1.06", true), "1|" + kClub + "||" + num + "|0.29|15| |0|7"}));
}

TEST_F(IndividualPerformances, AnEventCodeOutsideTheTableIsAnError) {
    ResultFields fields;
    fields[kEventField] = "150";
    fields[kTimeField] = "2.1";
    ResolvedLine line;
    line.performanceTable = "Liffn";
    line.age = "15";
    DerivedEventTable table = ChargerSousEpreuves();
    ProgrammeDays days(context.tabDatesNages);

    EXPECT_FALSE(bInsererPerformances(context, 4, fields, line, table, days));

    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 4.\n"
              "Une erreur s'est produite lors de l'ajout dans la table des performances.\n"
              "Erreur n° 9: L'indice n'appartient pas à la sélection\n");
}

TEST(DerivedEvents, MenRepeatTheWomensEventsAndMixedRelaysAreNotCopied) {
    DerivedEventTable table = ChargerSousEpreuves();
    auto pairs = [&](int event) {
        std::string text;
        for (auto [derived, split] : table[static_cast<std::size_t>(event)])
            text += "(" + std::to_string(derived) + "," + std::to_string(split) + ")";
        return text;
    };
    EXPECT_EQ(pairs(52), "(51,1)");
    EXPECT_EQ(pairs(93), "(52,6)(51,7)");
    EXPECT_EQ(pairs(34), "(103,6)(102,7)");
    EXPECT_EQ(pairs(84), "(101,10)");
    EXPECT_EQ(pairs(1), "");
    EXPECT_EQ(pairs(51), "");
}

class RelayPerformances : public ResultsFixture {
protected:
    RelayPerformances() {
        first = addSwimmer("080001", "F", "18", "FRA1000000009", false);
        second = addSwimmer("080002");
        reference = context.strNageurReference;
    }

    // A relay line of `event` for team R2001F, its first leg in split 6 and split 7.
    ResultRecord relayLine(const std::string& event, const std::string& time = "03.4512") {
        ResultRecord record{.event = event, .licence = "R2001F", .time = time};
        record.splits[5] = "00.5500";
        record.splits[6] = "00.2600";
        record.splits[9] = "00.2500";
        return record;
    }
    void declare(const std::string& event, const std::string& firstSex) {
        db().execute(test::sql("UPDATE Licence SET Sexe = '" + firstSex + "' WHERE Num = " + first));
        addRelay(event + kClub + "R2001F", first + "~" + second, "18");
    }
    // The first swimmer's performance rows: "code|time|split".
    std::vector<std::string> firstLegRows() {
        return rows("SELECT Code_epreuve, Tps, Tps_inter FROM Liffn WHERE Num_Lic = " + first +
                    " AND Code_club = 'FRA1000000009' AND Age = 18 AND Passage_relais = 'R' ORDER BY rowid");
    }
    std::string first, second, reference;
};

TEST_F(RelayPerformances, TheRelayRowThenTheFirstLegOfItsFirstSwimmer) {
    declare("43", "F");
    ASSERT_TRUE(import({relayLine("43")}));

    std::string relayers = first + "|" + second + "|" + reference + "|" + reference + "|" + reference + "|";
    EXPECT_EQ(rows(kRelayResults), std::vector<std::string>{"43|1|3.4512|" + relayers + reference});
    EXPECT_EQ(rows(kRelayPerformances),
              std::vector<std::string>{"43|" + kClub + "|20260306|1|3.4512|" + relayers + reference + "|7"});
    EXPECT_EQ(rows("SELECT Date_perf FROM Liffn"), (std::vector<std::string>{"20260306", "20260306"}));
    EXPECT_EQ(firstLegRows(), (std::vector<std::string>{"2|0.55|0", "1|0.26|1"}));
    EXPECT_EQ(traceText(), "Récupération de 1 résultat.\n0 club ajouté avec le libellé Null.\n\n");
}

TEST_F(RelayPerformances, MixedRelaysTakeTheFirstLegEventFromTheFirstSwimmersSex) {
    struct Case {
        std::string event, sex;
        std::vector<std::string> expected;
    };
    for (const Case& testCase :
         {Case{"88", "M", {"52|0.55|0", "51|0.26|1"}}, Case{"88", "F", {"2|0.55|0", "1|0.26|1"}}, Case{"88", "", {}},
          Case{"34", "F", {"3|0.55|0", "2|0.26|1"}}, Case{"34", "M", {"53|0.55|0", "52|0.26|1"}},
          Case{"84", "X", {}}}) {
        context.colCompositionsRelais.clear();
        context.colAgesPremierRelayeur.clear();
        db().execute(test::sql("DELETE FROM Liffn"));
        declare(testCase.event, testCase.sex);
        ASSERT_TRUE(import({relayLine(testCase.event)}));
        EXPECT_EQ(firstLegRows(), testCase.expected) << testCase.event << " " << testCase.sex;
    }
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn_relais"), std::vector<std::string>{"6"});
}

TEST_F(RelayPerformances, ARelayWithoutValidTimeStillGivesItsFirstLegOnly) {
    declare("43", "F");
    ASSERT_TRUE(import({relayLine("43", "")}));

    EXPECT_EQ(rows("SELECT Tps FROM Prres_relais"), std::vector<std::string>{"94"});
    EXPECT_TRUE(rows("SELECT * FROM Liffn_relais").empty());
    EXPECT_EQ(firstLegRows(), (std::vector<std::string>{"2|0.55|0", "1|0.26|1"}));
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn"), std::vector<std::string>{"2"});
}

TEST_F(RelayPerformances, AFirstSwimmerWithoutLicenceRowIsOnlyWarnedAbout) {
    addRelay("43" + kClub + "R2001F", "99999~" + second, "18");
    ASSERT_TRUE(import({relayLine("43")}));

    EXPECT_EQ(rows("SELECT Licence1, Licence2, Licence3 FROM Prres_relais"),
              std::vector<std::string>{"99999|" + second + "|" + reference});
    EXPECT_EQ(rows("SELECT count(*) FROM Liffn_relais"), std::vector<std::string>{"1"});
    EXPECT_TRUE(rows("SELECT * FROM Liffn").empty());
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\n"
              "Impossible de retrouver le club du premier relayeur\n"
              "Temps intermédiaires non mémorisés.\n"
              "Récupération de 1 résultat.\n0 club ajouté avec le libellé Null.\n\n");
}

TEST_F(RelayPerformances, TheTeamNumberIsCharactersThreeToFiveOfTheRelayCode) {
    addRelay("43" + kClub + "R2053F", "", "");
    addRelay("43" + kClub + "R2   F", "", "");
    ResultRecord team53 = relayLine("43"), withoutNumber = relayLine("43");
    team53.licence = "R2053F";
    withoutNumber.licence = "R2   F";

    ASSERT_TRUE(import({team53, withoutNumber}));

    EXPECT_EQ(rows("SELECT Num_Lic, Licence1, Licence10 FROM Prres_relais ORDER BY rowid"),
              (std::vector<std::string>{"53|" + reference + "|" + reference, "0|" + reference + "|" + reference}));
    EXPECT_TRUE(rows("SELECT * FROM Liffn").empty());
}

TEST_F(RelayPerformances, ARelayMissingFromRelaisTxtStopsTheStep) {
    ASSERT_FALSE(import({relayLine("43")}));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Impossible de retrouver la composition du relais de code 43FRA1000000001R2001F "
              "(code epreuve + code club + licence).\n"
              "Le relais n'est pas déclaré dans le fichier relais.txt\n"
              "Import des résultats interrompu.\n\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
