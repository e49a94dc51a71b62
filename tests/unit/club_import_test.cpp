#include "shared/club_import.h"

#include "import_fixture.h"

namespace couloir::test {
namespace {

using ClubImport = ImportFixture;

TEST_F(ClubImport, CodeCheckFollowsTheCodification) {
    for (const char* code : {"FRA5120750001", "FRA1000000001", "FRA0000000001", "BEL0000000012", "FRA5120000001"})
        EXPECT_TRUE(bCodeClubValide(db(), code)) << code;
    for (const char* code : {
             "BEL1000000001",  // inter-region other than 0 abroad
             "XXX0000000001",  // unknown country
             "FRA0010000001",  // national level with a region
             "FRA1000010001",  // no region but a department
             "FRA5010000001",  // region of another inter-region
             "FRA5120590001",  // department of another region
             "FRA512075001",   // 12 characters
             "FRAX120750001",  // inter-region not a digit: no query on it
             "FRA'120750001",
             "F'A5120750001",
         })
        EXPECT_FALSE(bCodeClubValide(db(), code)) << code;
    EXPECT_TRUE(bEstSelection("FRA5120000000"));
    EXPECT_FALSE(bEstSelection("FRA5120750001"));
    EXPECT_FALSE(bEstSelection("000"));
}

TEST_F(ClubImport, ResultsImportCreatesClubsAndCountsDuplicates) {
    std::string path = file({
        pad("FRA5120750001", 13) + "CN Paris",
        "FRA5120750002",   // 13 characters: no label
        "FRA5120750003X",  // 14 characters: a one-character label
        pad("FRA5120750004", 43),
        "FRA5120750001CN Paris",
        "FRA5120000000Sélection IDF",
        "FRA5120750005L'Odyssée",
    });
    EXPECT_TRUE(ImporterClubs(session, lists, path, 100.0 / 7, kClubsForResults));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 2.\n"
              "La longueur de la ligne ne permet de contenir le code et le libellé du club\n"
              "\n"
              "Récupération de 5 clubs sur 7.\n"
              "0 club déjà connu.\n"
              "0 club déjà connu sous un autre libellé.\n"
              "0 club mis à jour.\n"
              "1 club en double dans le fichier club.txt.\n"
              "\n");
    EXPECT_EQ(rows("select Code_federal, Intitule, Selection from Club where Code_federal like 'FRA512%' "
                   "order by Code_federal"),
              (std::vector<std::string>{"FRA5120000000|Sélection IDF|1", "FRA5120750001|CN Paris|0",
                                        "FRA5120750003|X|0", "FRA5120750004|Null|0", "FRA5120750005|L'Odyssée|0"}));
    EXPECT_EQ(lists.colClubsVus.size(), 5u);
    EXPECT_NEAR(progress, 100, 1e-6);
}

TEST_F(ClubImport, LabelsAreCompletedOrReported) {
    db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'Null'), "
                 "('FRA5120750002', 'Ancien nom'), ('FRA5120750003', 'Même'), ('FRA5120750004', 'Réel')"));
    std::string path = file({"FRA5120750001Nouveau", "FRA5120750002Nouveau nom", "FRA5120750003Même",
                             pad("FRA5120750004", 43)});
    EXPECT_TRUE(ImporterClubs(session, lists, path, 25, kClubsForLicences));
    EXPECT_EQ(traceText(),
              "Ligne n° : 2 Le code club FRA5120750002 est déjà utilisé pour le club : Ancien nom\n"
              "Nom dans le fichier : Nouveau nom\n"
              "Ligne n° : 4 Le code club FRA5120750004 est déjà utilisé pour le club : Réel\n"
              "Nom dans le fichier : Null\n"
              "\n"
              "Récupération de 0 club sur 4.\n"
              "1 club déjà connu.\n"
              "2 clubs déjà connus sous un autre libellé.\n"
              "1 club mis à jour.\n"
              "0 club en erreur.\n"
              "\n");
    EXPECT_EQ(rows("select Intitule from Club where Code_federal like 'FRA51207500%' order by Code_federal"),
              (std::vector<std::string>{"Nouveau", "Ancien nom", "Même", "Réel"}));
}

TEST_F(ClubImport, PerformanceImportReportsAnotherLabelByItsMessageAlone) {
    db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750002', 'Ancien nom')"));
    EXPECT_TRUE(ImporterClubs(session, lists, file({"FRA5120750002Nouveau nom"}), 100, kClubsForPerformances));
    EXPECT_EQ(traceText().rfind("Le code club FRA5120750002 est déjà utilisé pour le club : Ancien nom\n"
                                "\nRécupération de 0 club sur 1.\n",
                                0),
              0u);
}

TEST_F(ClubImport, ResultsImportStopsAtTheFirstInvalidCode) {
    std::string path = file({"FRA5120590001Mauvais", "FRA5120750001Bon"});
    EXPECT_FALSE(ImporterClubs(session, lists, path, 50, kClubsForResults));
    EXPECT_EQ(traceText(), "Erreur Ligne n° : 1.\nLe code club est erronné : FRA5120590001\n\n");
    EXPECT_EQ(db().lValeurScalaire(test::sql("select count(*) from Club where Code_federal like 'FRA5120%'")), 0);
}

TEST_F(ClubImport, OtherImportsCountErrorsAndShortLinesAndGoOn) {
    for (const ClubImportPolicy* policy : {&kClubsForPerformances, &kClubsForLicences}) {
        RunLists fresh;
        std::string path = file({"FRA5120590001Mauvais", "FRA512075000", "FRA5120750001Bon"});
        EXPECT_TRUE(ImporterClubs(session, fresh, path, 100.0 / 3, *policy));
    }
    std::string trace = traceText();
    EXPECT_NE(trace.find("Erreur Ligne n° : 1.\nLe code club est erronné : FRA5120590001\n"
                         "Erreur Ligne n° : 2.\nLa longueur de la ligne ne permet de contenir le code et le libellé du club\n"
                         "\nRécupération de 1 club sur 3.\n"),
              std::string::npos);
    EXPECT_NE(trace.find("2 clubs en erreur.\n\nErreur Ligne n° : 1."), std::string::npos);  // first run
    EXPECT_NE(trace.find("\nRécupération de 0 club sur 3.\n1 club déjà connu.\n"), std::string::npos);  // second run
    EXPECT_EQ(db().lValeurScalaire(test::sql("select count(*) from Club where Code_federal = 'FRA5120750001'")), 1);
}

TEST_F(ClubImport, EmptyMissingAndDosFiles) {
    EXPECT_TRUE(ImporterClubs(session, lists, file({}, "vide.txt"), 100, kClubsForResults));
    std::string missing = dir.file("absent.txt");
    EXPECT_FALSE(ImporterClubs(session, lists, missing, 100, kClubsForLicences));
    writeBytes(dir.file("dos.txt"), "FRA5120750001Nageurs d'\x82t\x82\r\n");
    EXPECT_TRUE(ImporterClubs(session, lists, dir.file("dos.txt"), 100, kClubsForLicences));
    std::string trace = traceText();
    EXPECT_EQ(trace.rfind("\nRécupération de 0 club sur 0.\n", 0), 0u);
    EXPECT_NE(trace.find("0 club en double dans le fichier club.txt.\n\n"
                         "Erreur Ligne n° : 0.\nImport des clubs interrompu.\n"
                         "Erreur n° 53: Fichier introuvable : " + missing + "\n\n"
                         "\nRécupération de 1 club sur 1."),
              std::string::npos)
        << trace;
    EXPECT_EQ(rows("select Intitule from Club where Code_federal = 'FRA5120750001'"),
              std::vector<std::string>{"Nageurs d'été"});
}

}  // namespace
}  // namespace couloir::test
