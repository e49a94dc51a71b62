// The licence library as a host meets it: Korvenna.clsRecupLicence imports
// the federation's club and licence lists, Korvenna.clsMajIUF writes the
// swimmers' unique codes from the code files of a folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "couloir/couloir.h"
#include "meet_fixture.h"
#include "shared/components.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

// A host form that keeps its bar value and records every value and caption set.
class RecordingForm {
public:
    RecordingForm() {
        form_.context = this;
        form_.set_caption = [](void* context, const char* member, int index, const char* text) {
            static_cast<RecordingForm*>(context)->calls.push_back(std::string(member) + "(" + std::to_string(index) +
                                                                  ") " + text);
            return 0;
        };
        form_.call_method = [](void* context, const char* member) {
            static_cast<RecordingForm*>(context)->calls.push_back(member);
            return 0;
        };
        form_.get_value = [](void* context, const char*, double* value) {
            *value = static_cast<RecordingForm*>(context)->value;
            return 0;
        };
        form_.set_value = [](void* context, const char*, double value) {
            auto* self = static_cast<RecordingForm*>(context);
            self->value = value;
            self->values.push_back(value);
            return 0;
        };
    }
    RecordingForm(const RecordingForm&) = delete;
    RecordingForm& operator=(const RecordingForm&) = delete;

    const couloir_form* form() const { return &form_; }

    double value = -1;
    std::vector<double> values;
    std::vector<std::string> calls;

private:
    couloir_form form_{};
};

const std::string kParis = "FRA5120750001", kRennes = "FRA3080350011", kLyon = "FRA6160690030";

// A code file record: club code without country and inter-region, licence, unique code.
std::string codeLine(const std::string& club, const std::string& licence, const std::string& code) {
    return pad(club.substr(4), 9) + pad(licence, 6) + pad(code, 30);
}

class Korvenna : public ::testing::Test {
protected:
    Korvenna()
        : database(dir.file("club.db")), source(dir.sub("source")), temp(dir.sub("temp")), trace(dir.file("trace.txt")) {
        database = createClubDatabase(database);
        writeInterchangeFile(source + "/origine.txt", {"Fédération"});
    }

    bool importLicences(const couloir_form* form = nullptr) {
        auto method = reinterpret_cast<couloir_bImport_Licence_fn>(
            resolveMethod("Korvenna.clsRecupLicence", "bImport_Licence"));
        return method(database.c_str(), source.c_str(), temp.c_str(), trace.c_str(), form);
    }

    bool updateCodes(bool ownClubOnly = false, const std::string& ownClub = "", const couloir_form* form = nullptr) {
        auto method =
            reinterpret_cast<couloir_bImport_CodeIUF_fn>(resolveMethod("Korvenna.clsMajIUF", "bImport_CodeIUF"));
        return method(source.c_str(), database.c_str(), trace.c_str(), form, ownClubOnly, ownClub.c_str());
    }

    void write(const std::string& name, const std::vector<std::string>& lines) {
        writeInterchangeFile(source + "/" + name, lines);
    }
    std::int32_t count(const std::string& sql) { return openForCheck(database)->lValeurScalaire(test::sql(sql)); }
    std::string value(const std::string& sql) {
        Columns found = openForCheck(database)->ChargerColonnes(test::sql(sql));
        return found.hasRows() ? found.at(0, 0) : "(none)";
    }
    void sql(const std::string& statement) { openForCheck(database)->execute(test::sql(statement)); }
    std::string traceText() { return readText(trace); }
    bool closedProperly() { return count("select count(*) from Info where LastClose = true") == 1; }

    FixedNow now{"2026-03-10T18:30:05"};
    ScratchDir dir;
    std::string database, source, temp, trace;
};

// ---- clsRecupLicence.bImport_Licence ----------------------------------------

TEST_F(Korvenna, ImportsTheClubListThenTheLicenceList) {
    write("club.txt", {clubLine(kParis, "Cercle des Nageurs d'Orly"), clubLine(kRennes, "Rennes Natation")});
    write("licence.txt", {licenceLine(kParis, "950001", "DUPONT", "Léa", "F", "15031995"),
                          licenceLine(kParis, "R2001F", "RELAIS", "Dames", "F", ""),
                          licenceLine("FRA5120590001", "960002", "MARTIN", "Paul", "M", "01021996"),
                          licenceLine(kLyon, "970003", "Éloïse-Müller", "Zoé", "F", "02031996"),
                          licenceLine(kRennes, "980004", "LE GOFF", "Yann", "M", "03041998"),
                          licenceLine(kParis, "950001", "DUPONT", "Léa", "F", "15031995")});
    ASSERT_TRUE(importLicences());
    EXPECT_EQ(traceText(),
              "Début de l'import : 10/03/2026 18:30:05\n\n"
              "Données source générées par l'application : Fédération\n\n"
              "Vérification des clubs depuis fichier Club.txt\n\n"
              "Récupération de 2 clubs sur 2.\n"
              "0 club déjà connu.\n"
              "0 club déjà connu sous un autre libellé.\n"
              "0 club mis à jour.\n"
              "0 club en erreur.\n\n\n"
              "Traitement des licences depuis fichier Licence.txt\n"
              "Erreur Ligne n° : 3.\n"
              "Code club (FRA5120590001) inconnu de la base. Echec de la création avec Le libelle Null.\n"
              "Warning Ligne n° : 4.\n"
              "Code club (FRA6160690030) inconnu de la base. Création avec Le libelle Null.\n\n"
              "Récupération de 3 licences sur 6.\n"
              "0 licence déjà connue.\n"
              "1 licence de type relais.\n"
              "1 entrée en erreur.\n"
              "1 club ajouté avec le libellé Null.\n\n"
              "Fin importation : 10/03/2026 18:30:05\n");
    EXPECT_TRUE(closedProperly());
    EXPECT_EQ(count("select count(*) from Club where Code_federal = 'FRA6160690030' and Intitule = 'Null'"), 1);
    EXPECT_EQ(count("select count(*) from Licence where Nom <> 'Null'"), 3);
    EXPECT_EQ(value("select Nom || '|' || Date_Naissance || '|' || Adresse || '|' || Code_unique from Licence "
                    "where Licence = '970003'"),
              "ELOISE-MULLER|19970101|12 rue de l'Eau|IUF970003");
    // The working copies are read, not the source files.
    EXPECT_TRUE(fs::exists(temp + "/licence.txt"));
    EXPECT_TRUE(fs::exists(temp + "/club.txt"));
}

TEST_F(Korvenna, WithoutAClubListTheLicencesCreateTheirClubs) {
    write("licence.txt", {licenceLine(kParis, "950001", "DUPONT", "Léa", "F", "15031995"),
                          licenceLine(kRennes, "980004", "LE GOFF", "Yann", "M", "03041998")});
    ASSERT_TRUE(importLicences());
    std::string text = traceText();
    EXPECT_EQ(text.rfind("Début de l'import : 10/03/2026 18:30:05\n\n"
                         "Fichier club.txt non trouvé dans le répertoire : " + source + "\n"
                         "Données source générées par l'application : Fédération\n\n"
                         "Fichier Club.txt non disponible.\n\n"
                         "Traitement des licences depuis fichier Licence.txt\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("Récupération de 2 licences sur 2.\n"), std::string::npos);
    EXPECT_NE(text.find("2 clubs ajoutés avec le libellé Null.\n"), std::string::npos);
    EXPECT_EQ(count("select count(*) from Club where Intitule = 'Null' and Code_federal in ('" + kParis + "', '" +
                    kRennes + "')"),
              2);
}

TEST_F(Korvenna, EmptyListsFailAndImportNothing) {
    write("club.txt", {});
    write("licence.txt", {});
    ASSERT_FALSE(importLicences());
    EXPECT_EQ(traceText(),
              "Début de l'import : 10/03/2026 18:30:05\n\n"
              "Données source générées par l'application : Fédération\n\n"
              "Erreur n° 62: Le fichier club.txt est vide : il ne contient aucune ligne\n"
              "Fin importation : 10/03/2026 18:30:05\n");
    EXPECT_TRUE(closedProperly());
}

TEST_F(Korvenna, AMissingLicenceListFailsBeforeAnyImport) {
    write("club.txt", {clubLine(kParis, "Cercle des Nageurs d'Orly")});
    EXPECT_FALSE(importLicences());
    EXPECT_EQ(traceText(),
              "Début de l'import : 10/03/2026 18:30:05\n\n"
              "Fichier licence.txt non trouvé dans le répertoire : " + source + "\n");
    EXPECT_EQ(count("select count(*) from Club where Code_federal = '" + kParis + "'"), 0);
    EXPECT_TRUE(closedProperly());
}

TEST_F(Korvenna, UnreadyDriveAndUnopenableDatabaseFailBothMethods) {
    std::string folder = source;
    source = dir.file("absent");
    const std::string unready = "Début de l'import : 10/03/2026 18:30:05\n\nLe lecteur source n'est pas pret.\n"
                                "Import annulé.\n";
    EXPECT_FALSE(importLicences());
    EXPECT_EQ(traceText(), unready);
    EXPECT_FALSE(updateCodes());
    EXPECT_EQ(traceText(), unready);

    source = folder;
    database = dir.file("absent.db");
    EXPECT_FALSE(importLicences());
    EXPECT_EQ(traceText().find("Début de l'import : 10/03/2026 18:30:05\n\n"
                               "Erreur de connexion dans dll d'import des licences.\nImport annulé.\nErreur n° "),
              0u);
    EXPECT_FALSE(updateCodes());
    EXPECT_EQ(traceText().find("Début de l'import : 10/03/2026 18:30:05\n\n"
                               "Erreur de connexion dans dll de mise à jour des codes IUF.\nMise à jour annulée.\n"
                               "Erreur n° "),
              0u);
    EXPECT_FALSE(fs::exists(database));
}

TEST_F(Korvenna, AWorkingFolderThatCannotTakeTheCopiesFailsTheImport) {
    write("licence.txt", {licenceLine(kParis, "950001", "DUPONT", "Léa", "F", "15031995")});
    temp = dir.file("absent");
    EXPECT_FALSE(importLicences());
    EXPECT_NE(traceText().find("\nErreur n° "), std::string::npos) << traceText();
    EXPECT_EQ(count("select count(*) from Licence where Nom = 'DUPONT'"), 0);
    EXPECT_TRUE(closedProperly());
}

TEST_F(Korvenna, OneProgressBarRunsOnceAcrossBothFiles) {
    std::vector<std::string> clubs, licences;
    for (int i = 1; i <= 10; ++i) clubs.push_back(clubLine("FRA51207500" + pad(std::to_string(10 + i), 2), "Club"));
    for (int i = 1; i <= 90; ++i)
        licences.push_back(licenceLine(kParis, "95" + std::to_string(1000 + i), "NAGEUR", "Jean", "M", "15031995"));
    write("club.txt", clubs);
    write("licence.txt", licences);
    RecordingForm host;
    ASSERT_TRUE(importLicences(host.form()));
    // Set to 0 once, then one step of 1 per line of either file.
    ASSERT_EQ(host.values.size(), 101u);
    for (std::size_t i = 0; i < host.values.size(); ++i) EXPECT_DOUBLE_EQ(host.values[i], double(i));
    // The steps are written to the trace only.
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Korvenna, TheFederationSampleImports) {
    runScript(database, readBytes(COULOIR_SOURCE_DIR "/samples/federation/previous_season.sql"));
    source = COULOIR_SOURCE_DIR "/samples/federation";
    ASSERT_TRUE(importLicences());
    std::string text = traceText();
    EXPECT_NE(text.find("Données source générées par l'application : Licences fédérales\n"), std::string::npos);
    EXPECT_NE(text.find("Récupération de 15 clubs sur 17.\n1 club déjà connu.\n0 club déjà connu sous un autre "
                        "libellé.\n1 club mis à jour.\n0 club en erreur.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Nom dans la base : GIRARD Camille\nNom dans fichier : GIRARD-MOREL Camille\n"),
              std::string::npos);
    EXPECT_NE(text.find("Code club (FRA5120590042) inconnu de la base. Echec de la création"), std::string::npos);
    EXPECT_NE(text.find("Récupération de 260 licences sur 270.\n1 licence déjà connue.\n6 licences de type relais.\n"
                        "1 entrée en erreur.\n1 club ajouté avec le libellé Null.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(count("select count(*) from Selection where Code_Sel = 'FRA5120000000'"), 2);

    source = COULOIR_SOURCE_DIR "/samples/codes";
    ASSERT_TRUE(updateCodes());
    text = traceText();
    EXPECT_EQ(text.find("insuffisante"), std::string::npos) << text;
    EXPECT_NE(text.find("Mise à jour de 48 licences sur 49.\n1 licence inconnue.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Mise à jour de 102 licences sur 102.\n0 licence inconnue.\n"), std::string::npos) << text;
    EXPECT_EQ(count("select count(*) from Licence where Code_unique <> '' and substr(Code_Club, 5, 2) in ('08', '12')"),
              150);
}

// ---- clsMajIUF.bImport_CodeIUF ----------------------------------------------

class CodeUpdate : public Korvenna {
protected:
    CodeUpdate() {
        fs::remove(source + "/origine.txt");
        sql("INSERT INTO Licence (Code_Club, Licence, Nom, Code_unique) VALUES "
            "('" + kParis + "', '950001', 'DUPONT', 'ancien'), ('" + kParis + "', '960002', 'MARTIN', ''), "
            "('" + kRennes + "', '980004', 'LE GOFF', ''), ('" + kLyon + "', '970003', 'ROUX', '')");
    }
    std::string code(const std::string& licence) {
        return value("select Code_unique from Licence where Licence = '" + licence + "'");
    }
    // The trace of a run whose first file ended at `line` with `error`, the
    // second file (one known swimmer) read whole.
    void expectFirstFileEndedAt(long line, const std::string& error) {
        std::string text = traceText();
        EXPECT_EQ(text.rfind("Début de l'import : 10/03/2026 18:30:05\n\nErreur Ligne n° : " + std::to_string(line) +
                                 ".\nMise à jour des codes IUF interrompu.\nErreur n° ",
                             0),
                  0u)
            << text;
        EXPECT_NE(text.find(error), std::string::npos) << text;
        EXPECT_NE(text.find("\n\n\nMise à jour de 1 licence sur 1.\n0 licence inconnue.\n\nFin mise à jour : "),
                  std::string::npos)
            << text;
    }
};

TEST_F(CodeUpdate, WritesTheCodesOfKnownSwimmersAndCountsTheOthers) {
    write("codes.txt", {codeLine(kParis, "950001", "1234567"), codeLine(kParis, "960002", "AB'12"),
                        codeLine(kParis, "990099", "7654321"), codeLine("FRA5270750001", "950001", "1111111"),
                        codeLine(kRennes, "980004", "2222222")});
    ASSERT_TRUE(updateCodes());
    EXPECT_EQ(traceText(),
              "Début de l'import : 10/03/2026 18:30:05\n\n\n"
              "Mise à jour de 3 licences sur 5.\n"
              "2 licences inconnues.\n\n"
              "Fin mise à jour : 10/03/2026 18:30:05\n");
    EXPECT_EQ(code("950001"), "1234567");
    EXPECT_EQ(code("960002"), "AB'12");  // stored as read, apostrophe included
    EXPECT_EQ(code("980004"), "2222222");
    // Unknown swimmers, and the one whose region ("27") has no inter-region, are never created.
    EXPECT_EQ(count("select count(*) from Licence where Nom <> 'Null'"), 4);
    EXPECT_TRUE(closedProperly());
}

TEST_F(CodeUpdate, OnlyTheOwnClubIsUpdatedWhenAsked) {
    write("codes.txt", {codeLine(kParis, "950001", "1234567"), codeLine(kRennes, "980004", "2222222"),
                        codeLine(kParis, "990099", "7654321")});
    ASSERT_TRUE(updateCodes(true, kParis));
    EXPECT_NE(traceText().find("Mise à jour de 1 licence sur 3.\n1 licence inconnue.\n"), std::string::npos)
        << traceText();
    EXPECT_EQ(code("950001"), "1234567");
    EXPECT_EQ(code("980004"), "");

    ASSERT_TRUE(updateCodes(true, "fra5120750001"));  // compared exactly
    EXPECT_NE(traceText().find("Mise à jour de 0 licence sur 3.\n0 licence inconnue.\n"), std::string::npos);
}

TEST_F(CodeUpdate, EachCodeFileBarIsMeasuredAgainstEveryCodeFileMetSoFar) {
    write("a_codes.txt", {codeLine(kParis, "950001", "1"), codeLine(kParis, "960002", "2")});
    write("b_codes.txt", {codeLine(kRennes, "980004", "3"), codeLine(kLyon, "970003", "4")});
    RecordingForm host;
    ASSERT_TRUE(updateCodes(false, "", host.form()));
    EXPECT_EQ(host.values, (std::vector<double>{0, 50, 100, 0, 25, 50}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Lb_message(2) Fichier a_codes.txt", "Refresh",
                                                    "Lb_message(2) Fichier b_codes.txt", "Refresh"}));
    EXPECT_EQ(code("970003"), "4");
}

TEST_F(CodeUpdate, AnErrorEndsItsFileAndTheScanGoesOn) {
    sql("INSERT INTO Region (Code, CodeInter) VALUES ('27', NULL)");
    write("a_codes.txt", {codeLine(kParis, "950001", "1234567"), codeLine("FRA5270750001", "950001", "1111111"),
                          codeLine(kParis, "960002", "7654321")});
    write("b_codes.txt", {codeLine(kRennes, "980004", "2222222")});
    ASSERT_TRUE(updateCodes());
    expectFirstFileEndedAt(2, "Erreur n° 94: ");
    EXPECT_EQ(code("950001"), "1234567");
    EXPECT_EQ(code("960002"), "");
    EXPECT_EQ(code("980004"), "2222222");
}

// The updates go to a server in batches: one that fails past the first
// batch ends its file at its own line, those before it are kept, those after
// it are not run, and the next file is read.
TEST_F(CodeUpdate, AnUpdateRefusedByTheDatabaseEndsItsFileAtItsLine) {
    std::string rows;
    std::vector<std::string> lines;
    for (int i = 1; i <= 600; ++i) {
        std::string licence = std::to_string(900000 + i);
        rows += std::string(rows.empty() ? "" : ", ") + "('" + kParis + "', '" + licence + "', 'NAGEUR', '')";
        lines.push_back(codeLine(kParis, licence, std::to_string(1000000 + i)));
    }
    sql("INSERT INTO Licence (Code_Club, Licence, Nom, Code_unique) VALUES " + rows);
    if (testServer()) {
        sql("CREATE FUNCTION refuse_code() RETURNS trigger AS $$ BEGIN IF NEW.Licence = '900550' THEN "
            "RAISE EXCEPTION 'code refusé'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
        sql("CREATE TRIGGER refuse_code BEFORE UPDATE ON Licence FOR EACH ROW EXECUTE FUNCTION refuse_code()");
    } else {
        sql("CREATE TRIGGER refuse_code BEFORE UPDATE ON Licence WHEN NEW.Licence = '900550' "
            "BEGIN SELECT RAISE(ABORT, 'code refusé'); END");
    }
    write("a_codes.txt", lines);
    write("b_codes.txt", {codeLine(kRennes, "980004", "2222222")});
    ASSERT_TRUE(updateCodes());
    expectFirstFileEndedAt(550, "code refusé");
    EXPECT_EQ(code("900549"), "1000549");
    EXPECT_EQ(code("900550"), "");
    EXPECT_EQ(code("900551"), "");
    EXPECT_EQ(count("select count(*) from Licence where Code_unique <> '' and Licence like '9005%'"), 50);
    EXPECT_EQ(code("980004"), "2222222");
}

TEST_F(CodeUpdate, AnUnreadableLineIsRefusedAndTheFileReadOn) {
    std::string unreadable = codeLine(kParis, "960002", "7654321");
    unreadable[12] = '\0';
    write("codes.txt", {codeLine(kParis, "950001", "1234567"), unreadable, codeLine(kRennes, "980004", "2222222")});
    ASSERT_TRUE(updateCodes());
    EXPECT_NE(traceText().find("Erreur Ligne n° : 2.\nLigne illisible : caractère de contrôle (code 0) en position 13.\n"
                               "\nMise à jour de 2 licences sur 3.\n0 licence inconnue.\n"),
              std::string::npos)
        << traceText();
    EXPECT_EQ(code("960002"), "");
    EXPECT_EQ(code("980004"), "2222222");
}

TEST_F(CodeUpdate, OtherFilesOfTheFolderAreReportedAndSkipped) {
    write("club.txt", {clubLine(kParis, "Cercle des Nageurs d'Orly")});
    write("codes.txt", {codeLine(kParis, "950001", "1234567")});
    write("empty.txt", {});
    writeBytes(source + "/junk.bin", std::string(70000, '\x01'));  // one line too long to measure
    dir.sub("source/subfolder");
    ASSERT_TRUE(updateCodes());
    const std::string skipped = " insuffisante.\nTraitement annulé pour ce fichier\n";
    EXPECT_EQ(traceText(),
              "Début de l'import : 10/03/2026 18:30:05\n\n"
              "Longueur des lignes dans le fichier " + source + "/club.txt" + skipped +
              "\nMise à jour de 1 licence sur 1.\n0 licence inconnue.\n\n"
              "Longueur des lignes dans le fichier " + source + "/empty.txt" + skipped +
              "Longueur des lignes dans le fichier " + source + "/junk.bin" + skipped +
              "Fin mise à jour : 10/03/2026 18:30:05\n");
}

TEST_F(CodeUpdate, AFolderWithoutCodeFilesEndsAtOnce) {
    ASSERT_TRUE(updateCodes());
    EXPECT_EQ(traceText(), "Début de l'import : 10/03/2026 18:30:05\n\nFin mise à jour : 10/03/2026 18:30:05\n");
}

}  // namespace
}  // namespace couloir::test
