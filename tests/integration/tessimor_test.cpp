// Tessimor.clsTessimor.bimport_perf as a host calls it: a performance file
// with its clubs and licences imported into a fresh database, kept whole
// under a new reference competition or not at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "couloir/couloir.h"
#include "meet_fixture.h"
#include "shared/components.h"
#include "test_support.h"

namespace couloir::test {
namespace {

const std::string kClubA = "FRA5120750001";
const std::string kClubB = "FRA3080350012";
// Valid against the codification, but in neither club.txt nor the database.
const std::string kClubC = "FRA2050570008";

// One liffn.txt record; the fields a test does not set hold a valid performance.
struct Perf {
    std::string event = "02", club = kClubA, licence = "950001", pool = "25", date = "15112025", time = "1.0523";
    std::string surname = "DUPONT", firstName = "Léa", place = "Paris", licenceDate = "01092025", licenceType = "N";
    std::vector<std::string> relayers{};
    std::string codifications = "  RD", leg{};

    std::string line() const {
        std::string text = pad(event, 2) + pad(club, 13) + pad(licence, 6) + pad(pool, 2) + pad(date, 8) +
                           pad(time, 7) + pad(surname, 25) + pad(firstName, 15) + pad(place, 20) +
                           pad("Club Nautique", 30) + pad(licenceDate, 8) + pad(licenceType, 1);
        for (std::size_t i = 0; i < 10; ++i) text += pad(i < relayers.size() ? relayers[i] : "", 6);
        return text + pad(codifications, 4) + pad(leg, 1);
    }
};

Perf relay(const std::string& code, const std::vector<std::string>& relayers) {
    Perf perf{.event = "43", .licence = code, .time = "4.0012", .surname = "RELAIS DAMES N° 1", .firstName = ""};
    perf.relayers = relayers;
    perf.licenceType = "R";
    return perf;
}

class PerfImport : public ::testing::Test {
protected:
    void SetUp() override {
        database_ = dir_.file("club.db");
        database_ = createClubDatabase(database_);
        source_ = dir_.sub("source");
        temp_ = dir_.sub("temp");
        trace_ = dir_.file("trace.txt");
        writeInterchangeFile(source_ + "/origine.txt", {"Lorvantide"});
        writeInterchangeFile(source_ + "/club.txt",
                             {clubLine(kClubA, "Club Nautique d'Alésia"), clubLine(kClubB, "Rennes Natation")});
        writeInterchangeFile(source_ + "/licence.txt", {licenceLine(kClubA, "950001", "DUPONT", "Léa", "F", "15031995"),
                                                        licenceLine(kClubA, "960002", "MARTIN", "Chloé", "F", "01021996"),
                                                        licenceLine(kClubA, "970003", "PETIT", "Inès", "F", "02031997"),
                                                        licenceLine(kClubA, "980005", "BLANC", "Zoé", "F", "04041998"),
                                                        licenceLine(kClubB, "000004", "ROUX", "Hugo", "M", "03042000")});
    }

    void writePerfs(const std::vector<Perf>& perfs) {
        std::vector<std::string> lines;
        for (const Perf& perf : perfs) lines.push_back(perf.line());
        writeInterchangeFile(source_ + "/liffn.txt", lines);
    }

    bool importPerfs(const std::string& source = {}) {
        auto entry = reinterpret_cast<couloir_bimport_perf_fn>(resolveMethod("Tessimor.clsTessimor", "bimport_perf"));
        return entry(database_.c_str(), (source.empty() ? source_ : source).c_str(), temp_.c_str(), trace_.c_str(),
                     nullptr);
    }

    void execute(const std::string& sql) {
        auto db = openForCheck(database_);
        db->execute(test::sql(sql));
        db->commit();
    }
    std::int32_t count(const std::string& sql) { return openForCheck(database_)->lValeurScalaire(test::sql(sql)); }
    std::string value(const std::string& sql) {
        Columns columns = openForCheck(database_)->ChargerColonnes(test::sql(sql));
        return columns.hasRows() ? columns.at(0, 0) : "(none)";
    }
    // The fields of the first row, joined by "|".
    std::string row(const std::string& sql) {
        auto rows = queryRows(*openForCheck(database_), sql);
        return rows.empty() ? "(none)" : rows.front();
    }
    std::string num(const std::string& club, const std::string& licence) {
        return value("select Num from Licence where Code_Club = '" + club + "' and Licence = '" + licence + "'");
    }
    std::string trace() { return readText(trace_); }

    // Nothing of the performance file was kept.
    void expectDiscarded() {
        EXPECT_EQ(count("select count(*) from Liffn"), 0);
        EXPECT_EQ(count("select count(*) from Liffn_relais"), 0);
        EXPECT_EQ(count("select count(*) from Rcomp"), 0);
        EXPECT_EQ(count("select count(*) from Info where LastClose = true"), 1);
    }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string database_, source_, temp_, trace_;
};

// The clubs and licences imported just before the performances, in the trace.
const std::string kClubsAndLicences =
    "Début de l'import : 10/03/2026 18:30:05\n\n"
    "Données source générées par l'application : Lorvantide\n\n\n"
    "Vérification des clubs depuis fichier Club.txt\n\n"
    "Récupération de 2 clubs sur 2.\n0 club déjà connu.\n0 club déjà connu sous un autre libellé.\n"
    "0 club mis à jour.\n0 club en erreur.\n\n\n"
    "Traitement des licences depuis fichier Licence.txt\n\n"
    "Récupération de 5 licences sur 5.\n0 licence déjà connue.\n0 licence de type relais.\n"
    "0 entrée en erreur.\n0 club ajouté avec le libellé Null.\n\n\n"
    "Traitement des performances depuis fichier Liffn.txt\n";

TEST_F(PerfImport, FileIsAttachedToANewReferenceCompetition) {
    execute("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
            "VALUES ('" + kClubA + "', '990009', 'ANCIEN', 'Marc', '19990615')");
    writePerfs({
        Perf{.leg = "R"},
        Perf{.event = "01", .pool = "50", .date = "20062026", .time = "0.3012", .place = "L'Isle-Adam", .leg = "X"},
        Perf{.event = "52", .club = kClubB, .licence = "000004", .surname = "ROUX", .firstName = "Hugo"},
        // Unknown swimmers: created from the line. "‰" is the byte of the DOS ë.
        Perf{.event = "01", .licence = "090007", .surname = "D'Almeida", .firstName = "Zo‰", .licenceType = "t"},
        Perf{.event = "51", .club = kClubC, .licence = "100008", .date = "10012010", .surname = "ÉMERY",
             .firstName = "Noé"},
        // Stored before, outside licence.txt: his birth year comes from his licence number.
        Perf{.licence = "990009", .surname = "ANCIEN", .firstName = "Marc"},
        relay("R2001F", {"950001", "960002", "970003", "980005"}),
        relay("R2002F", {"990009", "999999"}),
    });

    ASSERT_TRUE(importPerfs()) << trace();
    EXPECT_EQ(trace(), kClubsAndLicences +
                           "Ligne n° : 4. Nageur inconnu dans la base.\n"
                           "Ajout du nageur avec les données suivantes :\n"
                           "Nom : D'ALMEIDA, Prénom : Zoë\n"
                           "Licence : 090007, Date naissance : 20090101\n"
                           "Nationalité : FRA\n"
                           "Warning Ligne n° : 5.\n"
                           "Code club (FRA2050570008) inconnu de la base. Création avec Le libelle Null.\n"
                           "Ligne n° : 5. Nageur inconnu dans la base.\n"
                           "Ajout du nageur avec les données suivantes :\n"
                           "Nom : ÉMERY, Prénom : Noé\n"
                           "Licence : 100008, Date naissance : 20100101\n"
                           "Nationalité : FRA\n"
                           "Warning Ligne n° : 8.\n"
                           "Le relayeur de licence 999999 est introuvable dans le club de code FRA5120750001.\n"
                           "Traitement de 8 lignes de données.\n"
                           "Récupération de 6 performances individuelles.\n"
                           "Récupération de 2 performances de relais.\n"
                           "1 club ajouté avec le libellé Null.\n\n\n"
                           "Création de la référence dans la table des compétitions\n"
                           "Création réussie de la référence dans la table des compétitions.\n\n\n\n"
                           "Fin importation : 10/03/2026 18:30:05\n");

    EXPECT_EQ(row("select AutoNum, Num, Type, Debut, Fin, Deroule, Visible, Num_Piscine from Rcomp "
                  "where Nom = '1er import perf du 20260310'"),
              "1| |C|20260310|20260310|1|0|1");
    EXPECT_EQ(count("select count(*) from Liffn where Num_compet = 1"), 6);
    EXPECT_EQ(count("select count(*) from Liffn_relais where Num_compet = 1"), 2);
    // Ages in the year of the swim; a date of birth from licence.txt, or 1 January of the licence's year.
    EXPECT_EQ(queryRows(*openForCheck(database_), "select Num_Lic, Code_epreuve, Age from Liffn order by Num_Lic, Code_epreuve"),
              (std::vector<std::string>{"2|2|26", "3|1|31", "3|2|30", "7|52|25", "8|1|16", "9|51|0"}));
    EXPECT_EQ(value("select Code_epreuve || '|' || Code_club || '|' || Date_perf || '|' || Tps || '|' || Lieu || '|' "
                    "|| Type_bassin || '|' || Codif_Reg || Codif_Depart || '|' || Passage_relais from Liffn "
                    "where Num_Lic = " + num(kClubA, "950001") + " and Code_epreuve = 1"),
              "1|FRA5120750001|20260620|0.3012|L'Isle-Adam|50|RD|");
    EXPECT_EQ(count("select count(*) from Liffn where Passage_relais = 'R'"), 1);

    // Created swimmers: names folded unless already in capitals, apostrophes
    // intact, sex from the event; the unknown club under the placeholder label.
    EXPECT_EQ(value("select Nom || '|' || Prenom || '|' || Sexe || '|' || Date_Naissance || '|' || Nationalite || '|' "
                    "|| Sportive || '|' || Date_Depot || '|' || Type_licence || '|' || Nature from Licence "
                    "where Licence = '090007'"),
              "D'ALMEIDA|Zoë|F|20090101|FRA|O|20250901|T|N");
    EXPECT_EQ(value("select Nom || '|' || Sexe from Licence where Licence = '100008'"), "ÉMERY|M");
    EXPECT_EQ(value("select Intitule from Club where Code_federal = '" + kClubC + "'"), "Null");

    // A relay of four: the rest of its slots, and an unknown relayer, are the reference swimmer.
    std::string reference = value("select Num from Licence where Nom = 'Null'");
    EXPECT_EQ(value("select Num_Lic || '|' || Licence1 || ',' || Licence2 || ',' || Licence3 || ',' || Licence4 || "
                    "',' || Licence5 || ',' || Licence10 from Liffn_relais order by Num_Lic"),
              "1|" + num(kClubA, "950001") + "," + num(kClubA, "960002") + "," + num(kClubA, "970003") + "," +
                  num(kClubA, "980005") + "," + reference + "," + reference);
    EXPECT_EQ(value("select Num_Lic || '|' || Licence1 || ',' || Licence2 || ',' || Licence3 from Liffn_relais "
                    "where Num_Lic = 2"),
              "2|" + num(kClubA, "990009") + "," + reference + "," + reference);
}

TEST_F(PerfImport, TwoImportsOnOneDayGetTheirOwnCompetitions) {
    writePerfs({Perf{}, Perf{.licence = "090007", .surname = "D'Almeida", .firstName = "Zoé"},
                relay("R2001F", {"950001", "960002", "970003", "980005"})});
    ASSERT_TRUE(importPerfs()) << trace();
    ASSERT_TRUE(importPerfs()) << trace();

    EXPECT_EQ(value("select AutoNum from Rcomp where Nom = '1er import perf du 20260310'"), "1");
    EXPECT_EQ(value("select AutoNum from Rcomp where Nom = '2ème import perf du 20260310'"), "2");
    for (const char* competition : {"1", "2"}) {
        EXPECT_EQ(count(std::string("select count(*) from Liffn where Num_compet = ") + competition), 2);
        EXPECT_EQ(count(std::string("select count(*) from Liffn_relais where Num_compet = ") + competition), 1);
    }
    // The swimmer created by the first import is found by the second.
    EXPECT_EQ(count("select count(*) from Licence where Licence = '090007'"), 1);
    EXPECT_EQ(trace().find("Nageur inconnu"), std::string::npos) << trace();
}

TEST_F(PerfImport, MissingReferencePoolIsCreated) {
    execute("DELETE FROM Piscine");
    writePerfs({Perf{}});
    ASSERT_TRUE(importPerfs()) << trace();
    std::string pool = value("select Num from Piscine where Nom = 'Null'");
    EXPECT_EQ(value("select Num_Piscine from Rcomp"), pool);
    EXPECT_NE(trace().find("Création de la référence dans la table des compétitions\n"
                           "Impossible de trouver la piscine référence. Création de celle ci.\n"
                           "Création réussie de la piscine de référence.\n"
                           "Création réussie de la référence dans la table des compétitions.\n"),
              std::string::npos)
        << trace();
}

TEST_F(PerfImport, MissingReferenceSwimmerStopsBeforeTheFirstLine) {
    execute("DELETE FROM Licence WHERE Nom = 'Null'");
    writePerfs({Perf{}});
    EXPECT_FALSE(importPerfs());
    expectDiscarded();
    EXPECT_EQ(count("select count(*) from Licence"), 5);  // the licences stay
    EXPECT_EQ(trace(), kClubsAndLicences +
                           "Erreur Ligne n° : 0.\n"
                           "Impossible de trouver la licence du nageur de référence.\n"
                           "Les performances des relais ne peuvent pas être importées.\n"
                           "Importation annulée.\n\n"
                           "Importation des performances annulées.\n\n"
                           "Efface toutes les données déjà importées.\n\n\n"
                           "Fin importation : 10/03/2026 18:30:05\n");
}

// A bad line anywhere discards the whole file; clubs and swimmers created
// on the way stay.
TEST_F(PerfImport, BadLineDiscardsEveryPerformance) {
    struct Case {
        Perf third;
        std::string report;
    };
    const std::vector<Case> cases = {
        {Perf{.event = "08"}, "Erreur Ligne n° : 3.\nCode nage invalide : 08\n"},
        {Perf{.event = "A2"}, "Erreur Ligne n° : 3.\nCode nage invalide : A2\n"},
        {Perf{.pool = "33"}, "Erreur Ligne n° : 3.\nType de bassin incorrect : 33.\n"},
        {Perf{.date = "31121994"},
         "Erreur Ligne n° : 3.\nRésultat négatif du calcul de l'âge lors de la performance.\n"},
        {Perf{.club = "FRA9990000001"}, "Erreur Ligne n° : 3.\nLe code club est erronné : FRA9990000001\n"},
        {Perf{.time = "1.05'3"},
         "Erreur Ligne n° : 3.\nUne erreur s'est produite lors de l'ajout de la performance individuelle.\n"
         "Importation annulée.\nErreur n° 13: Incompatibilité de type : temps « 1.05'3 » illisible\n"},
        {Perf{.time = "1e10"}, "Erreur n° 13: Incompatibilité de type : temps « 1e10 » illisible\n"},
        {Perf{.date = "31022026"}, "Erreur Ligne n° : 3.\nImport des performances annulé.\nErreur n° 13: "},
        {relay("R2x01F", {}), "Erreur Ligne n° : 3.\nImport des performances annulé.\nErreur n° 13: "},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.report);
        std::string newcomer = "0900" + std::to_string(10 + i);
        writePerfs({Perf{.licence = newcomer, .surname = "NEUF"}, relay("R2001F", {"950001"}), c.third, Perf{}});
        EXPECT_FALSE(importPerfs());
        expectDiscarded();
        EXPECT_EQ(count("select count(*) from Licence where Licence = '" + newcomer + "'"), 1);
        EXPECT_EQ(count("select count(*) from Club where Code_federal = '" + kClubB + "'"), 1);
        std::string text = trace();
        EXPECT_NE(text.find("Traitement des performances depuis fichier Liffn.txt\n"
                            "Ligne n° : 1. Nageur inconnu dans la base.\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(c.report), std::string::npos) << text;
        EXPECT_NE(text.find("\nEfface toutes les données déjà importées.\n\n\nFin importation : "), std::string::npos)
            << text;
        EXPECT_EQ(text.find("Traitement de "), std::string::npos) << text;
    }
}

TEST_F(PerfImport, JunkFilesAreReportedNeverImported) {
    std::string junk;
    for (int i = 0; i < 20000; ++i) junk += static_cast<char>((i * 7919 + i / 13) % 256);
    const std::vector<std::string> files = {
        junk,
        std::string(40000, 'x') + "\r\n",            // a first line too long to measure
        Perf{}.line() + "\r\n" + Perf{}.line().substr(0, 21),  // cut short before the pool length
    };
    for (const std::string& bytes : files) {
        writeBytes(source_ + "/liffn.txt", bytes);
        EXPECT_FALSE(importPerfs());
        expectDiscarded();
        EXPECT_NE(trace().find("\nFin importation : 10/03/2026 18:30:05\n"), std::string::npos) << trace();
    }
    EXPECT_NE(trace().find("Erreur Ligne n° : 2.\nType de bassin incorrect : .\n"), std::string::npos) << trace();
}

TEST_F(PerfImport, SwimInTheYearOfBirthIsAgeZero) {
    writePerfs({Perf{.date = "01011995"}, Perf{.licence = "250010", .date = "01012025"}});
    ASSERT_TRUE(importPerfs()) << trace();
    EXPECT_EQ(queryRows(*openForCheck(database_), "select Age from Liffn"), (std::vector<std::string>{"0", "0"}));
    // Licence 25...: 2025 is not later than today (2026), so the swimmer was born in 2025.
    EXPECT_EQ(value("select Date_Naissance from Licence where Licence = '250010'"), "20250101");
}

TEST_F(PerfImport, AnEmptyFileFailsAndKeepsNothing) {
    std::filesystem::remove(source_ + "/club.txt");
    std::filesystem::remove(source_ + "/licence.txt");
    writeBytes(source_ + "/liffn.txt", "");
    EXPECT_FALSE(importPerfs()) << trace();
    EXPECT_EQ(count("select count(*) from Rcomp"), 0);
    EXPECT_EQ(trace(), "Début de l'import : 10/03/2026 18:30:05\n\n"
                       "Fichier licence.txt non trouvé dans le répertoire : " + source_ + "\n"
                       "Fichier club.txt non trouvé dans le répertoire : " + source_ + "\n"
                       "Données source générées par l'application : Lorvantide\n\n\n"
                       "Vérification des clubs depuis fichier Club.txt\n\n"
                       "Traitement des licences depuis fichier Licence.txt\n\n"
                       "Traitement des performances depuis fichier Liffn.txt\n"
                       "Erreur n° 62: Le fichier liffn.txt est vide : il ne contient aucune ligne\n\n\n"
                       "Fin importation : 10/03/2026 18:30:05\n");
}

TEST_F(PerfImport, SwimmerCreatedUnderASelectionJoinsIt) {
    const std::string selection = "FRA5120000000";
    writePerfs({Perf{.club = selection, .licence = "010011", .surname = "SELECT", .firstName = "Eve"}});
    ASSERT_TRUE(importPerfs()) << trace();
    EXPECT_EQ(count("select count(*) from Selection where Code_Sel = '" + selection + "' and Num_Lic = " +
                    num(selection, "010011")),
              1);
    EXPECT_NE(trace().find("Nationalité : FRA\nAjout du nageur dans la sélection de code : " + selection + "\n"),
              std::string::npos)
        << trace();
}

TEST_F(PerfImport, SourceDatabaseAndPerformanceFileAreChecked) {
    const std::string closing = "\n\nFin importation : 10/03/2026 18:30:05\n";
    EXPECT_FALSE(importPerfs(dir_.file("absent")));
    EXPECT_EQ(trace(), "Début de l'import : 10/03/2026 18:30:05\n\nLe lecteur source n'est pas pret.\nImport annulé.\n" +
                           closing);

    EXPECT_FALSE(importPerfs());  // no liffn.txt
    EXPECT_EQ(trace(), "Début de l'import : 10/03/2026 18:30:05\n\nFichier liffn.txt non trouvé dans le répertoire : " +
                           source_ + "\n" + closing);
    EXPECT_EQ(count("select count(*) from Club"), 1);  // nothing read
    EXPECT_EQ(count("select count(*) from Info where LastClose = true"), 1);

    database_ = dir_.file("absent.db");
    writePerfs({Perf{}});
    EXPECT_FALSE(importPerfs());
    EXPECT_NE(trace().find("Erreur de connexion dans dll d'import des licences.\nImport annulé.\nErreur n° "),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(database_));
}

TEST_F(PerfImport, SampleFilesImportWhole) {
    std::string sample = COULOIR_SOURCE_DIR "/samples/performances";
    ASSERT_TRUE(importPerfs(sample)) << trace();
    std::int32_t lines = static_cast<std::int32_t>(readLines(sample + "/liffn.txt").size());
    EXPECT_EQ(count("select count(*) from Liffn where Num_compet = 1") +
                  count("select count(*) from Liffn_relais where Num_compet = 1"),
              lines);
    EXPECT_NE(trace().find("Traitement de " + std::to_string(lines) + " lignes de données."), std::string::npos);
}

}  // namespace
}  // namespace couloir::test
