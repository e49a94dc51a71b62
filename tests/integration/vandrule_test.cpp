// Vandrule.clscreate_disk.bCreation_disquette as a host calls it: the
// competition's interchange files and a club's or a selection's entries,
// written from the sample club database.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "shared/text_date.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

const char* const kGoldenFolder = COULOIR_SOURCE_DIR "/tests/fixtures/vandrule/";
const char* const kOutputFiles[] = {"Origine.txt", "Rcomp.txt", "Pcomp.txt",  "Nage.txt",
                                    "Club.txt",    "Licence.txt", "Engag.txt", "Relais.txt"};

// A new club database holding the sample rows of samples/club_fixture.sql:
// competition 7, the club profile 1 and the selection profile 2.
void createFixtureDatabase(const std::string& path) {
    createDatabase(path, clubDatabaseScript() + "\n" + readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
}

// A host form that records what it is shown, and may lack Lb_message.
struct RecordingForm {
    std::vector<std::string> calls;
    bool hasLabels = true;

    couloir_form form() {
        couloir_form f{};
        f.context = this;
        f.set_caption = [](void* context, const char* member, int index, const char* text) {
            auto* self = static_cast<RecordingForm*>(context);
            if (!self->hasLabels && equalsNoCase(member, "Lb_message")) return 1;
            self->calls.push_back(std::string(member) + "(" + std::to_string(index) + ") " + text);
            return 0;
        };
        f.call_method = [](void* context, const char* member) {
            static_cast<RecordingForm*>(context)->calls.push_back(member);
            return 0;
        };
        return f;
    }
};

class Vandrule : public ::testing::Test {
protected:
    Vandrule() : database(scratch.file("club.db")), output(scratch.sub("out")), trace(scratch.file("trace.txt")) {
        createFixtureDatabase(database);
    }

    bool create(const std::string& profile, bool selection, const std::string& competition = "7",
                const couloir_form* form = nullptr) {
        auto method = reinterpret_cast<couloir_bCreation_disquette_fn>(
            resolveMethod("Vandrule.clscreate_disk", "bCreation_disquette"));
        return method(profile.c_str(), selection, competition.c_str(), database.c_str(), output.c_str(),
                      trace.c_str(), form);
    }

    void sql(const std::string& statement) { openForCheck(database)->execute(test::sql(statement)); }
    std::string file(const std::string& name) const { return readText(output + "/" + name); }
    std::vector<std::string> lines(const std::string& name) const { return readLines(output + "/" + name); }
    bool written(const std::string& name) const { return fs::exists(output + "/" + name); }
    std::string traceText() const { return readText(trace); }

    // Every file of the golden folder, byte for byte (Windows-1252, CR LF).
    void expectGolden(const std::string& folder) const {
        for (const auto& entry : fs::directory_iterator(kGoldenFolder + folder)) {
            std::string name = entry.path().filename().string();
            std::string actual = name == "trace.txt" ? trace : output + "/" + name;
            EXPECT_EQ(readText(actual), readText(entry.path().string())) << name;
            EXPECT_EQ(readBytes(actual), readBytes(entry.path().string())) << name;
        }
    }

    FixedNow clock{"2004-09-10T08:30:00"};
    ScratchDir scratch;
    std::string database, output, trace;
};

std::vector<std::string> engagFields(const std::string& line) { return cutFields(line, {3, 2, 13, 6, 7, 2}); }

TEST_F(Vandrule, ClubProfileWritesEveryFileAsLaidOut) {
    RecordingForm host;
    couloir_form form = host.form();
    ASSERT_TRUE(create("1", false, "7", &form));
    // Among others: Type_finale A left blank, men's teams from 51, a
    // women's relay team number followed by a blank, a hidden relayer left
    // out, the RELAIS pseudo-licences between PETIT and SAUVAGE, apostrophes
    // and accents in Windows-1252.
    expectGolden("club");
    ASSERT_EQ(host.calls.size(), 16u);
    EXPECT_EQ(host.calls[0], "Lb_message(1) Création fichier origine.txt");
    EXPECT_EQ(host.calls[1], "Cls");
    EXPECT_EQ(host.calls[14], "Lb_message(1) Création engagements relais");
}

TEST_F(Vandrule, SelectionPresentsSwimmersUnderNumbersByBirthYear) {
    ASSERT_TRUE(create("2", true));
    // BERNARD, DUPONT and LEROY (born 1993, in that order) are 93001F,
    // 93002K, 93003M; O'BRIEN, ZOLA, NOËL (1994) 94001B, 94002G, 94003N; their
    // own club and licence follow at column 208.
    expectGolden("selection");
}

TEST_F(Vandrule, RelayTeamWithoutNumberIsBlankWhateverItsSex) {
    sql("UPDATE Relais SET Num_equipe = 0 WHERE Num_profil = 1");
    ASSERT_TRUE(create("1", false));
    std::set<std::string> teams;
    for (const auto& line : lines("Engag.txt"))
        if (line[18] == 'R') teams.insert(engagFields(line)[3] + "=" + line.substr(31, 2));
    EXPECT_EQ(teams, (std::set<std::string>{"R1001F=  ", "R1002F=  ", "R2001F=  ", "R3001F=  "}));
}

TEST_F(Vandrule, EmptyProgrammeTakesTheStrokesFromTheEntries) {
    sql("DELETE FROM Pcomp");
    // An empty women's 10x50 team: the relay strokes come largest team first.
    sql("INSERT INTO Relais (Code_epreuve, Num_equipe, Num_Lic, Num_compet, Num_profil, Licence1, Licence2, "
        "Licence3, Licence4, Licence5, Licence6, Licence7, Licence8, Licence9, Licence10) "
        "VALUES (9, 1, 1, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1)");
    ASSERT_TRUE(create("1", false));
    EXPECT_TRUE(written("Pcomp.txt"));
    EXPECT_EQ(file("Pcomp.txt"), "");
    EXPECT_EQ(file("Nage.txt"),
              "02100 Nage Libre       100 1 \n05800 Nage Libre       800 1 \n12100 Dos              100 1 \n"
              "52100 Nage Libre       100 1 \n0910x50 Nage Libre      5010 \n434x100 Nage Libre     100 4 \n"
              "884x100 NL Mixte       100 4O\n934x100 Nage Libre     100 4 \n");
    std::string text = traceText();
    EXPECT_NE(text.find("Création fichier pcomp.txt\nProgramme de la compétition non défini.\n"
                        "Création du fichier Pcomp.txt réussie.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Création fichier nage.txt\n"
                        "Aucune épreuve trouvée dans le programme, contrôle au niveau des engagements.\n"
                        "Récupération des épreuves trouvées à partir des engagements.\n"
                        "Traitement des relais.\n"
                        "Aucune épreuve trouvée dans le programme, contrôle au niveau des engagements.\n"
                        "Récupération des épreuves trouvées à partir des engagements.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Seulement 0 nageur dans le relais 10x50 Nage Libre équipe 1 dans l'équipe n° 1\n"),
              std::string::npos);
}

TEST_F(Vandrule, MissingStartDateStopsAtTheLicencesAndDeliversNothing) {
    sql("UPDATE Rcomp SET Debut = ''");
    EXPECT_FALSE(create("1", false));
    // The three files written before the failure are not delivered either.
    for (const char* name : {"Origine.txt", "Rcomp.txt", "Pcomp.txt", "Nage.txt", "Engag.txt"}) EXPECT_FALSE(written(name));
    std::string text = traceText();
    EXPECT_NE(text.find("Création fichier pcomp.txt\nDate de début de la compétition non trouvé.\n"
                        "Date des épreuves dans fichier Pcomp ne seront pas écrites.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Création fichier licence.txt\nErreur lors de la création du fichier Licence.txt\n"
                        "Erreur n° 13: Incompatibilité de type. \nOpération annulée.\n"
                        "Fin de la création de fichier : 10/09/2004 08:30:00\n\n"),
              std::string::npos);
}

TEST_F(Vandrule, RelayPseudoLicencesAreDatedFromTheSeasonStart) {
    for (auto [start, season] : {std::pair{"20040915", "16092003"}, std::pair{"20040916", "16092004"}}) {
        sql(std::string("UPDATE Rcomp SET Debut = '") + start + "'");
        ASSERT_TRUE(create("1", false));
        std::string relay = lines("Licence.txt")[6];
        EXPECT_EQ(relay.substr(13, 6), "R2001F");
        EXPECT_EQ(relay.substr(189, 16), std::string(season) + season) << start;
    }
}

TEST_F(Vandrule, RelayWritesOnlyTheSwimmersItsEventNeeds) {
    // A 2x100 team naming four swimmers, and a 4x100 team naming one.
    sql("INSERT INTO Relais (Code_epreuve, Num_equipe, Num_Lic, Num_compet, Num_profil, Licence1, Licence2, "
        "Licence3, Licence4, Licence5, Licence6, Licence7, Licence8, Licence9, Licence10) VALUES "
        "(47, 0, 2, 7, 1, 1, 104, 105, 101, 1, 1, 1, 1, 1, 1), (43, 3, 3, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 105)");
    ASSERT_TRUE(create("1", false));
    std::vector<std::string> relays = lines("Relais.txt");
    EXPECT_EQ(relays[1], "12343FRA5120750001R2003F94077E" + std::string(54, ' '));
    EXPECT_EQ(relays[2], "12347FRA5120750001R2002F95402D94077E" + std::string(48, ' '));
    EXPECT_NE(traceText().find("Seulement 1 nageur dans le relais 4x100 Nage Libre équipe 3 dans l'équipe n° 3\n"),
              std::string::npos);
    EXPECT_EQ(traceText().find("2x100"), std::string::npos);
}

TEST_F(Vandrule, SelectionSwimmerWithoutNumberGetsABlankLicence) {
    // LEROY relays without being entered; PETIT has an entry of the selection
    // without being one of its swimmers.
    sql("DELETE FROM Engag_nageur WHERE Num_profil = 2 AND Num_Lic = 203");
    sql("INSERT INTO Engag (Code_epreuve, Num_Lic, Num_equipe, Num_compet, Num_profil, Tps_engagement) "
        "VALUES (5, 105, 0, 7, 2, 9.5)");
    ASSERT_TRUE(create("2", true));
    EXPECT_EQ(lines("Relais.txt")[0], "12343FRA5120000000R2001F93001F93002K      94003N" + std::string(36, ' '));
    std::vector<std::string> entries = lines("Engag.txt");
    EXPECT_EQ(entries[3], "12305FRA5120000000       9.5000" + std::string(32, ' '));
    std::string text = traceText();
    EXPECT_NE(text.find("Warning Licence (FRA5120920003 + 93611M) absente"), std::string::npos);
    EXPECT_NE(text.find("Warning Licence (FRA5120750001 + 94077E) absente"), std::string::npos);
}

TEST_F(Vandrule, HostFormWithoutLbMessageCancelsBeforeAnyFile) {
    RecordingForm host;
    host.hasLabels = false;
    couloir_form form = host.form();
    EXPECT_FALSE(create("1", false, "7", &form));
    for (const char* name : kOutputFiles) EXPECT_FALSE(written(name)) << name;
    EXPECT_EQ(traceText(),
              "Début de la création de fichier : 10/09/2004 08:30:00\n\n"
              "Une erreur s'est produite lors de la création des fichiers.\n"
              "Erreur n° 438: Propriété ou méthode non gérée par cet objet : Lb_message\n\n"
              "Opération annulée.\n"
              "Fin de la création de fichier : 10/09/2004 08:30:00\n\n");
}

TEST_F(Vandrule, ApostrophesAndKeysNeverBreakAStatement) {
    // A selection whose code holds an apostrophe is excluded from its own clubs.
    sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('FRA512''000000', 'Sélection d''essai', true)");
    sql("INSERT INTO Profil (Num, Code_club) VALUES (3, 'FRA512''000000')");
    sql("INSERT INTO Engag_nageur (Num_Lic, Num_compet, Num_profil) VALUES (101, 7, 3)");
    ASSERT_TRUE(create("3", true));
    EXPECT_EQ(file("Club.txt"), "FRA512'000000Sélection d'essai             \n"
                                "FRA5120750001Cercle des Nageurs d'Orly     \n");

    // Keys are numbers: anything else is refused, never run.
    EXPECT_FALSE(create("1", false, "7; DELETE FROM Licence"));
    EXPECT_NE(traceText().find("Erreur lors de la création du fichier Rcomp.txt\nErreur n° 13: Incompatibilité de type\n"
                               "Opération annulée.\n"),
              std::string::npos);
    EXPECT_EQ(openForCheck(database)->lValeurScalaire(test::sql("select count(*) from Licence")), 13);
}

TEST_F(Vandrule, DatabaseOrPlaceholderMissing) {
    sql("DELETE FROM Licence WHERE Nom = 'Null'");
    EXPECT_FALSE(create("1", false));
    EXPECT_FALSE(written("Relais.txt"));
    EXPECT_FALSE(written("Engag.txt"));
    EXPECT_NE(traceText().find("Création du fichier Relais.txt\nLicence du nageur Null non trouvée\n"
                               "Erreur dans la base, impossible de créer le fichier relais.txt\nOpération annulée.\n"),
              std::string::npos);

    fs::remove_all(output);
    fs::create_directories(output);
    database = scratch.file("absent.db");
    EXPECT_FALSE(create("1", false));
    EXPECT_TRUE(fs::is_empty(output));
    std::vector<std::string> traced = readLines(trace);
    ASSERT_EQ(traced.size(), 6u);
    EXPECT_EQ(traced[2], "Erreur lors de la connexion à la base.");
    EXPECT_EQ(traced[3].rfind("Erreur n° ", 0), 0u);
}

}  // namespace
}  // namespace couloir::test
