// The swimmer stored twice: couloir duplicates finds the rows, couloir
// merge-swimmers makes them one without losing a row that names either.
#include <gtest/gtest.h>

#include "meet_fixture.h"
#include "report_support.h"
#include "test_support.h"

namespace couloir {
namespace {

using test::CommandRun;

// Swimmer 102 is swimmer 101 stored a second time, under another club; 103
// is someone else. Every table that names a swimmer names 102.
constexpr const char* kTwiceStored = R"(
INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Adresse, Telephone, Code_unique)
  VALUES (101, 'FRA0512345001', '080001', 'DUPONT', 'Marie', 'F', '20080512', NULL, '', '');
INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Adresse, Telephone, Code_unique)
  VALUES (102, 'FRA0599999001', '080777', 'DUPONT', 'Marie', 'F', '20080512', '3 rue des Lilas', '0102030405', 'IUF102');
INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)
  VALUES (103, 'FRA0512345001', '070002', 'MARTIN', 'Léa', 'F', '20070303');
INSERT INTO Prres (Num_compet, Code_epreuve, Type_course, Code_club, Num_Lic, Tps) VALUES (1, 1, 'S', 'FRA0599999001', 102, 31.5);
INSERT INTO Prres (Num_compet, Code_epreuve, Type_course, Code_club, Num_Lic, Tps) VALUES (2, 1, 'S', 'FRA0512345001', 101, 31.2);
INSERT INTO Prres_relais (Num_compet, Code_epreuve, Num_Lic, Licence1, Licence2) VALUES (1, 41, 9001, 103, 102);
INSERT INTO Liffn (Code_epreuve, Date_perf, Num_Lic, Tps, Num_compet) VALUES (1, '20261101', 101, 31.5, 1);
INSERT INTO Liffn (Code_epreuve, Date_perf, Num_Lic, Tps, Num_compet) VALUES (1, '20261101', 102, 31.5, 1);
INSERT INTO Liffn (Code_epreuve, Date_perf, Num_Lic, Tps, Num_compet) VALUES (2, '20261102', 102, 65.2, 1);
INSERT INTO Liffn_relais (Code_epreuve, Date_perf, Num_Lic, Tps, Num_compet, Licence1, Licence3) VALUES (41, '20261101', 9001, 130.5, 1, 103, 102);
INSERT INTO Engag (Code_epreuve, Num_Lic, Num_compet, Num_profil, Tps_engagement) VALUES (1, 101, 5, 1, 31.2);
INSERT INTO Engag (Code_epreuve, Num_Lic, Num_compet, Num_profil, Tps_engagement) VALUES (1, 102, 5, 1, 31.5);
INSERT INTO Engag (Code_epreuve, Num_Lic, Num_compet, Num_profil, Tps_engagement) VALUES (2, 102, 5, 1, 65.2);
INSERT INTO Engag_nageur (Num_Lic, Num_compet, Num_profil) VALUES (101, 5, 1);
INSERT INTO Engag_nageur (Num_Lic, Num_compet, Num_profil) VALUES (102, 5, 1);
INSERT INTO Relais (Code_epreuve, Num_equipe, Num_Lic, Num_compet, Num_profil, Licence1, Licence4) VALUES (41, 1, 9001, 5, 1, 103, 102);
INSERT INTO Selection (Code_Sel, Num_Lic) VALUES ('FRA0500000000', 102);
)";

class SwimmerMerge : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = test::createClubDatabase(dir_.file("club.db"));
        test::runScript(db_, kTwiceStored);
    }
    CommandRun couloir(const std::string& arguments) {
        return test::runCouloir(arguments + " --trace " + dir_.file("trace.txt"));
    }
    std::vector<std::string> rows(const std::string& query) { return test::queryRows(*test::openForCheck(db_), query); }
    std::string trace() { return test::readText(dir_.file("trace.txt")); }

    test::ScratchDir dir_;
    std::string db_;
};

TEST_F(SwimmerMerge, EveryRowThatNamesTheMergedSwimmerMovesAndNothingIsCountedTwice) {
    CommandRun run = couloir("merge-swimmers " + db_ + " 101 102 --quiet --report " + dir_.file("merge.json"));
    ASSERT_EQ(run.status, 0) << run.output << trace();

    EXPECT_EQ(rows("select Num_compet, Num_Lic from Prres order by 1"), (std::vector<std::string>{"1|101", "2|101"}));
    EXPECT_EQ(rows("select Licence1, Licence2 from Prres_relais"), (std::vector<std::string>{"103|101"}));
    EXPECT_EQ(rows("select Code_epreuve, Num_Lic from Liffn order by 1"), (std::vector<std::string>{"1|101", "2|101"}));
    EXPECT_EQ(rows("select Licence3 from Liffn_relais"), (std::vector<std::string>{"101"}));
    EXPECT_EQ(rows("select Code_epreuve, Num_Lic, Tps_engagement from Engag order by 1"),
              (std::vector<std::string>{"1|101|31.2", "2|101|65.2"}));
    EXPECT_EQ(rows("select Num_Lic from Engag_nageur"), (std::vector<std::string>{"101"}));
    EXPECT_EQ(rows("select Licence4 from Relais"), (std::vector<std::string>{"101"}));
    EXPECT_EQ(rows("select Num_Lic from Selection"), (std::vector<std::string>{"101"}));
    // The kept row keeps its club and licence and takes what it lacked.
    EXPECT_EQ(rows("select Num, Code_Club, Licence, Adresse, Telephone, Code_unique from Licence where Num > 100 order by 1"),
              (std::vector<std::string>{"101|FRA0512345001|080001|3 rue des Lilas|0102030405|IUF102",
                                        "103|FRA0512345001|070002|NULL|NULL|NULL"}));

    std::string text = trace();
    EXPECT_NE(text.find("Nageur fusionné : n° 102, DUPONT Marie, club FRA0599999001, licence 080777."), std::string::npos);
    EXPECT_NE(text.find("Liffn : 1 performance déplacée, 1 déjà enregistrée pour le nageur gardé, supprimée."),
              std::string::npos);
    EXPECT_NE(text.find("Licence : champs complétés depuis le nageur fusionné : Adresse, Telephone, Code_unique."),
              std::string::npos);
    ASSERT_TRUE(test::matchesSchema(dir_.file("merge.json")));
    auto report = test::readReport(dir_.file("merge.json"));
    auto counts = report["steps"][0]["counts"];
    EXPECT_EQ(counts["results_moved"], 1);
    EXPECT_EQ(counts["relay_result_legs_moved"], 1);
    EXPECT_EQ(counts["performances_moved"], 1);
    EXPECT_EQ(counts["performances_merged"], 1);
    EXPECT_EQ(counts["entries_moved"], 1);
    EXPECT_EQ(report["changes"]["Licence"]["deleted"], 1);
}

TEST_F(SwimmerMerge, ARefusedOrSimulatedMergeChangesNothing) {
    auto before = test::contentOf(db_);
    CommandRun dry = couloir("merge-swimmers " + db_ + " 101 102 --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.output;
    EXPECT_NE(dry.output.find("Liffn : 1 performance déplacée"), std::string::npos);
    EXPECT_EQ(test::contentOf(db_), before);

    // 103 swims in the relays with 102: merged, the relay would hold one swimmer twice.
    CommandRun relay = couloir("merge-swimmers " + db_ + " 103 102");
    EXPECT_EQ(relay.status, 1);
    EXPECT_NE(relay.output.find("Fusion refusée : les deux nageurs nagent dans un même relais (Prres_relais)"),
              std::string::npos)
        << relay.output;
    EXPECT_EQ(test::contentOf(db_), before);

    test::runScript(db_, "UPDATE Licence SET Sexe = 'M' WHERE Num = 103;");
    before = test::contentOf(db_);
    CommandRun sex = couloir("merge-swimmers " + db_ + " 101 103");
    EXPECT_EQ(sex.status, 1);
    EXPECT_NE(sex.output.find("pas du même sexe (F et M)"), std::string::npos) << sex.output;

    test::runScript(db_, "INSERT INTO Prres (Num_compet, Code_epreuve, Type_course, Num_Lic) VALUES (2, 1, 'S', 102);");
    before = test::contentOf(db_);
    CommandRun race = couloir("merge-swimmers " + db_ + " 101 102");
    EXPECT_EQ(race.status, 1);
    EXPECT_NE(race.output.find("un résultat dans la même course"), std::string::npos) << race.output;

    EXPECT_EQ(couloir("merge-swimmers " + db_ + " 101 999").status, 1);
    EXPECT_EQ(test::contentOf(db_), before);
    EXPECT_EQ(couloir("merge-swimmers " + db_ + " 101 0101").status, 2);
}

TEST_F(SwimmerMerge, DuplicatesListsTheRowsWithWhatEachHolds) {
    CommandRun run = test::runCouloir("duplicates " + db_ + " --report " + dir_.file("duplicates.json"));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Groupe 1 : confiance forte"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("n° 101 et n° 102 : mêmes nom, prénom et date de naissance"), std::string::npos);
    ASSERT_TRUE(test::matchesSchema(dir_.file("duplicates.json")));
    auto groups = test::readReport(dir_.file("duplicates.json"))["duplicates"]["groups"];
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]["confidence"], "high");
    auto merged = groups[0]["swimmers"][1];
    EXPECT_EQ(merged["num"], 102);
    EXPECT_EQ(merged["results"], 1);
    EXPECT_EQ(merged["performances"], 2);
    EXPECT_EQ(merged["relay_legs"], 2);

    ASSERT_EQ(couloir("merge-swimmers " + db_ + " 101 102 --quiet").status, 0);
    CommandRun after = test::runCouloir("duplicates " + db_);
    EXPECT_NE(after.output.find("Aucun doublon parmi les 2 nageurs de la base."), std::string::npos) << after.output;
}

TEST_F(SwimmerMerge, ADryRunOfTheLicencesTellsWhichSwimmersWouldBeStoredTwice) {
    std::string source = dir_.sub("federation");
    test::writeInterchangeFile(source + "/club.txt", {test::clubLine("FRA5120750001", "Cercle des Nageurs d'Orly")});
    test::writeInterchangeFile(source + "/licence.txt",
                               {test::licenceLine("FRA0512345001", "070002", "MARTIN", "Léa", "F", "03032007"),
                                test::licenceLine("FRA5120750001", "080999", "Dupont", "Marie", "F", "12052008")});
    CommandRun dry = couloir("import-licences " + db_ + " " + source + " --dry-run --report " + dir_.file("dry.json"));
    ASSERT_EQ(dry.status, 0) << dry.output;
    std::vector<std::string> warnings;
    auto report = test::readReport(dir_.file("dry.json"));
    for (const auto& message : report["messages"])
        if (message["text"].get<std::string>().find("ressemble") != std::string::npos)
            warnings.push_back(std::to_string(message["line"].get<int>()) + " " + message["text"].get<std::string>());
    EXPECT_EQ(warnings,
              (std::vector<std::string>{
                  "2 Warning Ligne n° : 2.\r\nLe nageur DUPONT Marie (club FRA5120750001, licence 080999) ressemble au "
                  "nageur n° 101 de la base (DUPONT Marie, club FRA0512345001, licence 080001) : mêmes nom, prénom et "
                  "date de naissance, confiance forte. Voir couloir duplicates.",
                  "2 Warning Ligne n° : 2.\r\nLe nageur DUPONT Marie (club FRA5120750001, licence 080999) ressemble au "
                  "nageur n° 102 de la base (DUPONT Marie, club FRA0599999001, licence 080777) : mêmes nom, prénom et "
                  "date de naissance, confiance forte. Voir couloir duplicates."}));
    // The real import says nothing of it: the finder serves the dry run.
    CommandRun real = couloir("import-licences " + db_ + " " + source);
    EXPECT_EQ(real.status, 0) << real.output;
    EXPECT_EQ(real.output.find("ressemble"), std::string::npos);
}

TEST(SwimmerMergeRoundTrip, AMergedSwimmerExportedAndImportedAgainIsOneSwimmerWithHisWholeHistory) {
    test::FixedNow now("2026-06-01T10:00:00");
    test::ScratchDir dir;
    std::string first = test::createClubDatabase(dir.file("first.db")), trace = " --quiet --trace " + dir.file("t.txt");
    ASSERT_EQ(test::runCouloir("import-perf " + first + " " COULOIR_SOURCE_DIR "/samples/performances" + trace).status, 0);
    auto scalar = [](const std::string& db, const std::string& query) {
        return test::openForCheck(db)->lValeurScalaire(test::sql(query));
    };
    // The swimmer with the longest history, stored a second time under another club with part of it.
    std::string keep = std::to_string(
        scalar(first, "select Num_Lic from Liffn group by Num_Lic order by count(*) desc, Num_Lic limit 1"));
    int history = scalar(first, "select count(*) from Liffn where Num_Lic = " + keep);
    test::runScript(first,
                    "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance) "
                    "SELECT 90000, 'FRA0599999001', '999999', Nom, Prenom, Sexe, Date_Naissance FROM Licence WHERE Num = " +
                        keep + ";\nUPDATE Liffn SET Num_Lic = 90000 WHERE Num_Lic = " + keep + " AND Code_epreuve % 2 = 0;");
    ASSERT_GT(scalar(first, "select count(*) from Liffn where Num_Lic = 90000"), 0);
    ASSERT_EQ(test::runCouloir("merge-swimmers " + first + " " + keep + " 90000" + trace).status, 0);

    std::string club = test::queryRows(*test::openForCheck(first), "select Code_Club from Licence where Num = " + keep)[0];
    std::string exported = dir.file("export");
    ASSERT_EQ(test::runCouloir("export-perf " + first + " " + exported + " --club " + club + trace).status, 0);
    std::string second = test::createClubDatabase(dir.file("second.db"));
    ASSERT_EQ(test::runCouloir("import-perf " + second + " " + exported + trace).status, 0);
    auto names = test::queryRows(*test::openForCheck(first), "select Nom, Prenom, Date_Naissance from Licence where Num = " + keep);
    std::vector<std::string> arrived = test::queryRows(
        *test::openForCheck(second),
        "select l.Num, count(*) from Licence l join Liffn p on p.Num_Lic = l.Num where l.Nom || '|' || l.Prenom || '|' || "
        "l.Date_Naissance = " + test::literal(names[0]) + " group by l.Num");
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].substr(arrived[0].find('|') + 1), std::to_string(history));
}

}  // namespace
}  // namespace couloir
