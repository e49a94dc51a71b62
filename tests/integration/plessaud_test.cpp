// Plessaud.clsExportPerf.bPlessaudormance as a host calls it: the performance
// history of a club, a selection or every club, written from a fresh
// database filled with INSERTs, and compared file by file.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "shared/text_date.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

const std::vector<int> kClubWidths = {13, 30};
const std::vector<int> kLicenceWidths = {13, 6, 25, 20, 1, 8, 3, 30, 30, 7, 26, 14,
                                         1,  1, 1,  1,  1, 1, 8, 8,  1,  1, 19, 22};
const std::vector<int> kLiffnWidths = {2, 13, 6, 2, 8, 7, 25, 15, 20, 30, 8, 1, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
                                       1, 1,  1, 1, 1};

// The values side by side, each padded or cut to its width.
std::string fixed(const std::vector<int>& widths, const std::vector<std::string>& values) {
    EXPECT_EQ(widths.size(), values.size());
    std::string line;
    for (std::size_t i = 0; i < widths.size() && i < values.size(); ++i) line += pad(values[i], widths[i]);
    return line;
}

const std::string kClubA = "FRA5120750001";
const std::string kClubB = "FRA5120750002";
const std::string kSelection = "FRA5120750000";
const std::string kNameA = "Cercle d'Alésia";
const std::string kNameB = "Nageurs de Paris";

struct Swimmer {
    std::string club, licence, surname, firstName, sex, birthDate;
};

// A host form that keeps the last caption of each label and the bar's value,
// and may lack a member.
struct RecordingForm {
    std::map<std::string, std::string> captions;
    double bar = 0;
    std::string missing;

    couloir_form form() {
        couloir_form f{};
        f.context = this;
        f.set_caption = [](void* context, const char* member, int index, const char* text) {
            auto* self = static_cast<RecordingForm*>(context);
            if (equalsNoCase(member, self->missing)) return 1;
            self->captions[std::string(member) + "(" + std::to_string(index) + ")"] = text;
            return 0;
        };
        f.get_caption = [](void* context, const char* member, int index, char* buffer, size_t size) {
            auto* self = static_cast<RecordingForm*>(context);
            std::string key = std::string(member) + "(" + std::to_string(index) + ")";
            std::snprintf(buffer, size, "%s", self->captions[key].c_str());
            return 0;
        };
        f.get_value = [](void* context, const char*, double* value) {
            *value = static_cast<RecordingForm*>(context)->bar;
            return 0;
        };
        f.set_value = [](void* context, const char*, double value) {
            static_cast<RecordingForm*>(context)->bar = value;
            return 0;
        };
        f.call_method = [](void*, const char*) { return 0; };
        return f;
    }
};

class Plessaud : public ::testing::Test {
protected:
    Plessaud() : database(scratch.file("club.db")), output(scratch.sub("out")), trace(scratch.file("trace.txt")) {
        database = createClubDatabase(database);
        sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('" + kClubA + "', 'Cercle d''Alésia', false)");
        sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('" + kClubB + "', '" + kNameB + "', false)");
    }

    bool exportPerf(const std::string& code, bool selection, bool all, const couloir_form* form = nullptr,
                    const std::string& folder = {}) {
        auto method = reinterpret_cast<couloir_bPlessaudormance_fn>(
            resolveMethod("Plessaud.clsExportPerf", "bPlessaudormance"));
        return method(database.c_str(), code.c_str(), selection, all, (folder.empty() ? output : folder).c_str(),
                      trace.c_str(), form);
    }

    void sql(const std::string& statement) {
        auto db = openForCheck(database);
        db->execute(test::sql(statement));
        db->commit();
    }
    std::int32_t count(const std::string& query) { return openForCheck(database)->lValeurScalaire(test::sql(query)); }

    // Adds a swimmer and returns his Licence.Num.
    std::string addSwimmer(const Swimmer& s) {
        sql("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Nationalite, Sportive, "
            "Synchro, Water_Polo, Plongeon, Dirigeant, Maitre, Date_Depot, Date_obliteration, Type_licence, Nature, "
            "Code_unique) VALUES (" +
            test::literal(s.club) + ", " + test::literal(s.licence) + ", " + test::literal(s.surname) + ", " +
            test::literal(s.firstName) + ", " + test::literal(s.sex) + ", " + test::literal(s.birthDate) +
            ", 'FRA', 'O', 'N', 'N', 'N', 'N', 'N', '20240901', '20240915', 'R', 'N', " + test::literal("IUF" + s.licence) +
            ")");
        return std::to_string(count("select max(Num) from Licence"));
    }

    void addPerformance(const std::string& num, const std::string& event, const std::string& pool,
                        const std::string& date, const std::string& time, const std::string& relayLeg = "") {
        sql("INSERT INTO Liffn (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, Type_bassin, "
            "Codif_Fede, Codif_Inter, Codif_Reg, Codif_Depart, Passage_relais) VALUES (" +
            event + ", 'x', '" + date + "', " + num + ", " + time + ", 1, 'Piscine d''Ivry', " + pool +
            ", 'R', 'A', '', 'D', '" + relayLeg + "')");
    }

    // A relay performance; the relayers are Licence.Num values, "Null" for an empty slot.
    void addRelay(const std::string& club, const std::string& event, const std::string& team, const std::string& date,
                  const std::vector<std::string>& relayers) {
        std::string slots;
        for (std::size_t i = 0; i < 10; ++i) slots += ", " + (i < relayers.size() ? relayers[i] : std::string("Null"));
        sql("INSERT INTO Liffn_relais (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, "
            "Type_bassin, Codif_Fede, Codif_Inter, Codif_Reg, Codif_Depart, Licence1, Licence2, Licence3, Licence4, "
            "Licence5, Licence6, Licence7, Licence8, Licence9, Licence10) VALUES (" +
            event + ", '" + club + "', '" + date + "', " + team + ", 3.4512, 1, 'Lyon', 50, 'N', '', '', ''" + slots +
            ")");
    }

    std::vector<std::string> lines(const std::string& name) const { return readLines(output + "/" + name); }
    bool written(const std::string& name) const { return fs::exists(output + "/" + name); }
    std::string traceText() const { return readText(trace); }

    FixedNow clock{"2026-03-10T18:30:05"};
    ScratchDir scratch;
    std::string database, output, trace;
};

const Swimmer kMarie{kClubA, "950001", "D'ARTAGNAN", "Marie-Bérénice-Alexandra", "F", "19950315"};
const Swimmer kLuc{kClubA, "940002", "BERNARD", "Luc", "M", "19940101"};
const Swimmer kPaul{kClubB, "930003", "O'NEIL", "Paul", "M", "19930101"};
const std::string kReference = "1";  // the reference swimmer of a fresh database

std::string licenceLine(const Swimmer& s) {
    return fixed(kLicenceWidths, {s.club, s.licence, s.surname, s.firstName, s.sex,
                                  strAaaammjjVersJjmmaaaa(s.birthDate), "FRA", "", "", "", "", "", "O", "N", "N", "N",
                                  "N", "N", "01092024", "15092024", "R", "N", pad(s.club, 13) + s.licence,
                                  "IUF" + s.licence});
}

std::string individualLine(const Swimmer& s, const std::string& clubName, const std::string& event,
                           const std::string& pool, const std::string& date, const std::string& time,
                           const std::string& relayLeg = "") {
    std::vector<std::string> values = {event,     s.club,    s.licence,  pool, date, time, s.surname, s.firstName,
                                       "Piscine d'Ivry", clubName, "15092024", "R"};
    values.resize(22);
    for (const char* codif : {"R", "A", "", "D"}) values.push_back(codif);
    values.push_back(relayLeg);
    return fixed(kLiffnWidths, values);
}

std::string relayLine(const std::string& club, const std::string& clubName, const std::string& event,
                      const std::string& licence, const std::string& name, const std::string& date,
                      const std::string& season, const std::vector<std::string>& relayers) {
    std::vector<std::string> values = {event, club,   licence,  "50",   date, "3.4512",
                                       name,  "",     "Lyon",   clubName, season, "R"};
    for (std::size_t i = 0; i < 10; ++i) values.push_back(i < relayers.size() ? relayers[i] : "");
    for (const char* codif : {"N", "", "", "", ""}) values.push_back(codif);
    return fixed(kLiffnWidths, values);
}

TEST_F(Plessaud, ClubWithoutPerformanceWritesNoFile) {
    addSwimmer(kLuc);
    EXPECT_TRUE(exportPerf(kClubA, false, false));
    EXPECT_EQ(traceText(),
              "Début de l'export : 10/03/2026 18:30:05\n\n"
              "Aucune performance exportée.\n\n"
              "Fin de l'export : 10/03/2026 18:30:05\n");
    for (const char* name : {"liffn.txt", "licence.txt", "club.txt", "origine.txt"})
        EXPECT_FALSE(written(name)) << name;
}

// A swimmer's performances come in an order of their own, by date then by
// their values, not in the order they were stored: another engine, or the
// same history imported in another order, writes the same file.
TEST_F(Plessaud, ASwimmersPerformancesComeByDateWhateverOrderTheyWereStoredIn) {
    std::string marie = addSwimmer(kMarie);
    const std::vector<std::vector<std::string>> performances = {
        {"2", "25", "20250112", "1.0523"}, {"1", "50", "20241201", "0.3100"},
        {"3", "50", "20230601", "2.0000"}, {"1", "50", "20241201", "0.3012"}};
    for (const auto& p : performances) addPerformance(marie, p[0], p[1], p[2], p[3]);
    ASSERT_TRUE(exportPerf(kClubA, false, false)) << traceText();
    std::vector<std::string> first = lines("liffn.txt");
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0], individualLine(kMarie, kNameA, "03", "50", "01062023", "2.0000"));
    EXPECT_EQ(first[1], individualLine(kMarie, kNameA, "01", "50", "01122024", "0.3012"));
    EXPECT_EQ(first[2], individualLine(kMarie, kNameA, "01", "50", "01122024", "0.3100"));

    sql("DELETE FROM Liffn");
    for (auto p = performances.rbegin(); p != performances.rend(); ++p) addPerformance(marie, (*p)[0], (*p)[1], (*p)[2], (*p)[3]);
    ASSERT_TRUE(exportPerf(kClubA, false, false)) << traceText();
    EXPECT_EQ(lines("liffn.txt"), first);
}

// One club: individual and relay performances, relayers of the club and of
// another club, the reference swimmer and unknown swimmers in relay slots.
TEST_F(Plessaud, ClubExportWritesTheFourFiles) {
    std::string marie = addSwimmer(kMarie), luc = addSwimmer(kLuc), paul = addSwimmer(kPaul);
    addPerformance(marie, "2", "25", "20250112", "1.0523");
    addPerformance(luc, "52", "50", "20250201", "0.58");
    addPerformance(marie, "1", "33", "20241201", "0.3012", "R");
    addPerformance(paul, "52", "25", "20250201", "0.55");  // another club: not exported
    addRelay(kClubA, "93", "5", "20240915", {luc, paul, kReference, "999"});
    addRelay(kClubA, "43", "12", "20240916", {marie});
    addRelay(kClubA, "88", "1", "", {});
    addRelay(kClubB, "93", "1", "20240915", {paul});  // another club: not exported
    sql("Update Info Set LastClose = false");

    ASSERT_TRUE(exportPerf(kClubA, false, false)) << traceText();

    // Rows by club name then licence number: Luc (940002) before Marie, and
    // each swimmer's by date; the relays by event. A pool of 33 m is left
    // blank, the first name is cut to 15 characters here and to 20 in licence.txt.
    EXPECT_EQ(lines("liffn.txt"),
              (std::vector<std::string>{
                  individualLine(kLuc, kNameA, "52", "50", "01022025", "0.5800"),
                  individualLine(kMarie, kNameA, "01", "", "01122024", "0.3012", "R"),
                  individualLine(kMarie, kNameA, "02", "25", "12012025", "1.0523"),
                  relayLine(kClubA, kNameA, "43", "R2012F", "RELAIS DAMES N° 12", "16092024", "16092024", {"950001"}),
                  relayLine(kClubA, kNameA, "88", "R3001F", "RELAIS MIXTE N° 1", "", "", {}),
                  relayLine(kClubA, kNameA, "93", "R1005F", "RELAIS MESSIEURS N° 5", "15092024", "16092023",
                            {"940002", "930003"}),
              }));
    EXPECT_EQ(charSubstr(lines("liffn.txt")[1], 63, 15), "Marie-Bérénice-");
    // Each swimmer once, whether met in individual or relay performances;
    // Paul and his club come in as a relayer.
    EXPECT_EQ(lines("licence.txt"),
              (std::vector<std::string>{licenceLine(kLuc), licenceLine(kMarie), licenceLine(kPaul)}));
    EXPECT_EQ(charSubstr(lines("licence.txt")[1], 44, 20), "Marie-Bérénice-Alexa");
    EXPECT_EQ(lines("club.txt"), (std::vector<std::string>{fixed(kClubWidths, {kClubA, kNameA}),
                                                          fixed(kClubWidths, {kClubB, kNameB})}));
    EXPECT_EQ(lines("origine.txt"), std::vector<std::string>{"Lorvantide"});
    // Windows-1252 bytes and CR LF.
    std::string bytes = readBytes(output + "/club.txt");
    EXPECT_NE(bytes.find("Cercle d'Al\xE9sia"), std::string::npos);
    EXPECT_EQ(bytes.substr(43, 2), "\r\n");

    EXPECT_EQ(traceText(),
              "Début de l'export : 10/03/2026 18:30:05\n\n"
              "Création du fichier Origine.txt\n"
              "Traitement des performances individuelles\n"
              "3 performances individuelles exportées.\n"
              "2 nageurs traités.\n"
              "1 club traité.\n\n"
              "3 performances par relais exportées.\n"
              "1 club traité.\n\n\n"
              "Fin de l'export : 10/03/2026 18:30:05\n");
    // The export only reads: the open/closed mark is left as it was.
    EXPECT_EQ(count("select count(*) from Info where LastClose = false"), 1);
}

TEST_F(Plessaud, FormShowsSectionsClubsSwimmersAndFullProgress) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    addPerformance(luc, "53", "50", "20250202", "1.28");
    addRelay(kClubA, "93", "5", "20240915", {luc});
    RecordingForm host;
    couloir_form form = host.form();
    ASSERT_TRUE(exportPerf(kClubA, false, false, &form));
    EXPECT_EQ(host.captions["Lb_message(1)"], "Export des perfs relais");
    EXPECT_EQ(host.captions["Lb_message(3)"], "Epreuve :");
    EXPECT_EQ(host.captions["lb_club(0)"], kNameA);
    EXPECT_EQ(host.captions["lb_nageur(0)"], "4x100 Nage Libre");
    EXPECT_NEAR(host.bar, 100, 1e-6);
}

TEST_F(Plessaud, AllClubsInNameOrderEachClubAndSwimmerOnce) {
    std::string marie = addSwimmer(kMarie), paul = addSwimmer(kPaul);
    // A club whose name sorts first without regard to case.
    sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('FRA5120750003', 'aquaClub', false)");
    std::string zoe = addSwimmer({"FRA5120750003", "960004", "ZOLA", "Zoé", "F", "19960101"});
    addPerformance(paul, "52", "25", "20250201", "0.55");
    addPerformance(marie, "2", "25", "20250112", "1.0523");
    addPerformance(zoe, "1", "50", "20250112", "0.3100");
    addPerformance(paul, "51", "25", "20250202", "0.26");
    addRelay(kClubB, "93", "2", "20240915", {paul, marie});

    ASSERT_TRUE(exportPerf("", false, true)) << traceText();

    std::vector<std::string> liffn = lines("liffn.txt");
    ASSERT_EQ(liffn.size(), 5u);
    auto clubOf = [](const std::string& line) { return line.substr(2, 13); };
    EXPECT_EQ(clubOf(liffn[0]), "FRA5120750003");
    EXPECT_EQ(clubOf(liffn[1]), kClubA);
    EXPECT_EQ(clubOf(liffn[2]), kClubB);
    EXPECT_EQ(clubOf(liffn[3]), kClubB);
    // The relay names Marie, already written by the individual export.
    EXPECT_EQ(liffn[4], relayLine(kClubB, kNameB, "93", "R1002F", "RELAIS MESSIEURS N° 2", "15092024", "16092023",
                                  {"930003", "950001"}));
    EXPECT_EQ(lines("club.txt"), (std::vector<std::string>{fixed(kClubWidths, {"FRA5120750003", "aquaClub"}),
                                                          fixed(kClubWidths, {kClubA, kNameA}),
                                                          fixed(kClubWidths, {kClubB, kNameB})}));
    EXPECT_EQ(lines("licence.txt").size(), 3u);
    std::string text = traceText();
    EXPECT_NE(text.find("4 performances individuelles exportées.\n3 nageurs traités.\n3 clubs traités.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("1 performance par relais exportée.\n1 club traité.\n"), std::string::npos) << text;
}

TEST_F(Plessaud, SelectionExportsItsMembersAndItsRelays) {
    sql("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES ('" + kSelection + "', 'Sélection 75', true)");
    std::string marie = addSwimmer(kMarie), luc = addSwimmer(kLuc), paul = addSwimmer(kPaul);
    sql("INSERT INTO Selection (Code_Sel, Num_Lic) VALUES ('" + kSelection + "', " + marie + ")");
    sql("INSERT INTO Selection (Code_Sel, Num_Lic) VALUES ('" + kSelection + "', " + paul + ")");
    addPerformance(marie, "2", "25", "20250112", "1.0523");
    addPerformance(luc, "52", "50", "20250201", "0.58");  // not a member
    addPerformance(paul, "52", "25", "20250201", "0.55");
    addRelay(kSelection, "43", "1", "20250301", {marie});
    addRelay(kClubA, "43", "2", "20250301", {marie});  // the club's relay, not the selection's

    ASSERT_TRUE(exportPerf(kSelection, true, false)) << traceText();

    // The members under their own clubs, then the selection's relay.
    std::vector<std::string> liffn = lines("liffn.txt");
    ASSERT_EQ(liffn.size(), 3u);
    EXPECT_EQ(liffn[0], individualLine(kMarie, kNameA, "02", "25", "12012025", "1.0523"));
    EXPECT_EQ(liffn[1], individualLine(kPaul, kNameB, "52", "25", "01022025", "0.5500"));
    EXPECT_EQ(liffn[2], relayLine(kSelection, "Sélection 75", "43", "R2001F", "RELAIS DAMES N° 1", "01032025",
                                  "16092024", {"950001"}));
    EXPECT_EQ(lines("club.txt"), (std::vector<std::string>{fixed(kClubWidths, {kClubA, kNameA}),
                                                          fixed(kClubWidths, {kClubB, kNameB}),
                                                          fixed(kClubWidths, {kSelection, "Sélection 75"})}));
    EXPECT_EQ(lines("licence.txt"), (std::vector<std::string>{licenceLine(kMarie), licenceLine(kPaul)}));
}

TEST_F(Plessaud, MissingReferenceSwimmerCancelsTheRelaysAndFails) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    addRelay(kClubA, "93", "5", "20240915", {luc});
    sql("DELETE FROM Licence WHERE Nom = 'Null'");

    EXPECT_FALSE(exportPerf(kClubA, false, false));

    // An export without its relays is incomplete: none of its files is delivered.
    EXPECT_FALSE(written("liffn.txt"));
    EXPECT_FALSE(written("licence.txt"));
    EXPECT_NE(traceText().find("1 club traité.\n\n"
                               "Impossible de trouver le nageur référence dans la base.\n"
                               "Export des performances en relais annulé.\n\n\n\n"
                               "Fin de l'export : "),
              std::string::npos)
        << traceText();
}

TEST_F(Plessaud, MissingReferenceSwimmerLosesNothingWithoutRelays) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    sql("DELETE FROM Licence WHERE Nom = 'Null'");
    EXPECT_TRUE(exportPerf(kClubA, false, false)) << traceText();
    EXPECT_EQ(lines("liffn.txt").size(), 1u);
}

TEST_F(Plessaud, ApostrophesReachTheStatementsDoubled) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    // A code that would end the quoted text early: no statement fails.
    EXPECT_TRUE(exportPerf("FRA' OR ''='", false, false));
    EXPECT_NE(traceText().find("Aucune performance exportée."), std::string::npos) << traceText();
    EXPECT_TRUE(exportPerf("FRA' OR ''='", true, false));
    EXPECT_NE(traceText().find("Aucune performance exportée."), std::string::npos) << traceText();
    EXPECT_FALSE(written("liffn.txt"));
}

TEST_F(Plessaud, AMissingFolderWritesNothingAndFails) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    addRelay(kClubA, "93", "5", "20240915", {luc});
    std::string absent = scratch.file("absent");
    EXPECT_FALSE(exportPerf(kClubA, false, false, nullptr, absent));
    EXPECT_EQ(traceText(), "Début de l'export : 10/03/2026 18:30:05\n\n"
                           "Les fichiers ne peuvent pas être écrits dans le dossier " + absent + ".\n"
                           "Erreur n° 76: Dossier de sortie introuvable : " + absent + "\n"
                           "Opération annulée.\n\n"
                           "Fin de l'export : 10/03/2026 18:30:05\n");
    EXPECT_FALSE(std::filesystem::exists(absent));
}

TEST_F(Plessaud, FormWithoutAClubLabelStopsTheExportAndFails) {
    std::string luc = addSwimmer(kLuc);
    addPerformance(luc, "52", "50", "20250201", "0.58");
    RecordingForm host;
    host.missing = "lb_club";
    couloir_form form = host.form();
    EXPECT_FALSE(exportPerf(kClubA, false, false, &form));
    EXPECT_NE(traceText().find("individuelles.\n\nErreur n° 438: "), std::string::npos) << traceText();
    // A failed export delivers nothing, not even what was written before the error.
    EXPECT_FALSE(written("club.txt"));
}

TEST_F(Plessaud, UnopenableDatabaseWritesNoFile) {
    database = scratch.file("absent.db");
    EXPECT_FALSE(exportPerf(kClubA, false, false));
    EXPECT_EQ(traceText(),
              "Début de l'export : 10/03/2026 18:30:05\n\n"
              "Erreur de connexion dans dll d'export.\n"
              "Fichier licence.txt non créé.\n\n"
              "Fin de l'export : 10/03/2026 18:30:05\n");
    EXPECT_FALSE(written("licence.txt"));
}

}  // namespace
}  // namespace couloir::test
