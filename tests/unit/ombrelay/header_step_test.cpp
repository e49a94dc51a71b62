#include <string>

#include "results_import/steps.h"
#include "step_fixture.h"

namespace couloir::ombrelay::test {
namespace {

using namespace std::chrono_literals;

// An rcomp.txt record from its fields, padded to their widths.
std::string header(const std::string& type = "C", const std::string& name = "Meeting d'hiver",
                   const std::string& start = "05032026", const std::string& venue = "Saint-Ouen-l'Aumône",
                   const std::string& pool = "25", const std::string& codifications = "QRAQ") {
    return pad("012", 3) + pad(type, 1) + pad(name, 40) + pad(start, 8) + "07032026" + pad(venue, 30) +
           pad(pool, 2) + "08" + codifications;
}

class HeaderStep : public StepFixture {
protected:
    bool import(const std::string& line) {
        context.files.rcomp = file("rcomp.txt", {line});
        return importHeaderFile(context);
    }
};

TEST_F(HeaderStep, ReportsEveryFieldUpdatesRcompAndKeepsWhatLaterStepsUse) {
    FixedNow now("2026-03-05T08:00:00");
    ASSERT_EQ(charCount(header()), 98u);
    ASSERT_TRUE(import(header()));

    EXPECT_EQ(traceText(),
              "Numéro de la compétition : 012.\n"
              "Type de compétition : Championnats.\n"
              "Nom de la compétition : Meeting d'hiver.\n"
              "Date de début compétition : 5 mars 2026.\n"
              "Date de fin compétition : 7 mars 2026.\n"
              "Lieu de la compétition : Saint-Ouen-l'Aumône.\n"
              "Longueur du bassin : 25.\n"
              "Nombre de couloirs : 08.\n"
              "Codification fédérale : Qualificative.\n"
              "Codification inter-régionale : Référence.\n"
              "Codification régionale : Animation.\n"
              "Codification départementale : Qualificative.\n"
              "\n");
    EXPECT_EQ(rows("SELECT Num, Type, Nom, Debut, Fin, Lieu, Longueur, Nb_couloir, Codif_fede, Codif_inter, "
                   "Codif_reg, Codif_depar, Deroule FROM Rcomp WHERE AutoNum = 7"),
              std::vector<std::string>{
                  "012|C|Meeting d'hiver|20260305|20260307|Saint-Ouen-l'Aumône|25|8|Q|R|A|Q|1"});
    EXPECT_EQ(context.venue, "Saint-Ouen-l'Aumône");
    EXPECT_EQ(context.poolLength, "25");
    EXPECT_EQ(context.federalCodification + context.interRegionalCodification + context.regionalCodification +
                  context.departmentalCodification,
              "QRAQ");
    EXPECT_EQ(context.startDate, 2026y / 3 / 5);
    EXPECT_EQ(context.endDate, 2026y / 3 / 7);
}

TEST_F(HeaderStep, CompetitionHasStartedOnlyFromItsFirstDay) {
    db().execute(test::sql("UPDATE Rcomp SET Deroule = true WHERE AutoNum = 7"));
    {
        FixedNow now("2026-03-04T23:59:59");
        ASSERT_TRUE(import(header()));
        EXPECT_EQ(rows("SELECT Deroule FROM Rcomp"), std::vector<std::string>{"0"});
    }
    FixedNow now("2026-03-05T00:00:00");
    ASSERT_TRUE(import(header()));
    EXPECT_EQ(rows("SELECT Deroule FROM Rcomp"), std::vector<std::string>{"1"});
}

TEST_F(HeaderStep, UnknownCodificationsAreReportedKeptAsReadAndLeaveRcompColumns) {
    db().execute(test::sql("UPDATE Rcomp SET Codif_fede = 'R', Codif_depar = 'A' WHERE AutoNum = 7"));
    std::string shortLine = header("I", "Meeting", "05032026", "Paris", "50", "qRA");  // 97 characters

    ASSERT_TRUE(import(shortLine));

    std::string text = traceText();
    EXPECT_EQ(text.rfind("Warning La ligne dans le fichier rcomp.txt n'a pas la longueur requise.\n"
                         "Les informations pourront être incomplètes.\n\n"
                         "Numéro de la compétition : 012.\n"
                         "Type de compétition : Interclubs.\n",
                         0),
              0u);
    EXPECT_NE(text.find("Codification fédérale inconnue : q.\n"
                        "Codification inter-régionale : Référence.\n"
                        "Codification régionale : Animation.\n"
                        "Codification départementale inconnue : .\n"
                        "\n"),
              std::string::npos);
    EXPECT_EQ(rows("SELECT Codif_fede, Codif_inter, Codif_reg, Codif_depar, Longueur FROM Rcomp"),
              std::vector<std::string>{"R|R|A|A|50"});
    EXPECT_EQ(context.federalCodification, "q");
    EXPECT_EQ(context.departmentalCodification, "");
}

TEST_F(HeaderStep, EmptyFileFails) {
    context.files.rcomp = file("rcomp.txt", {});
    EXPECT_FALSE(importHeaderFile(context));
    EXPECT_EQ(traceText(), "Le fichier rcomp.txt est vide.\n\n");
}

// A field that stops the step: the trace ends with its message, the later
// fields are not reported and Rcomp is not touched.
struct Failure {
    const char* what;
    std::string line;
    std::string traceEnd;
};

void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.what; }

class HeaderFailure : public HeaderStep, public ::testing::WithParamInterface<Failure> {};

TEST_P(HeaderFailure, StopsTheStepWithoutUpdate) {
    FixedNow now("2026-03-05T08:00:00");
    EXPECT_FALSE(import(GetParam().line));
    std::string text = traceText();
    EXPECT_TRUE(endsWith(text, GetParam().traceEnd)) << text;
    EXPECT_EQ(text.find("Codification"), std::string::npos);
    EXPECT_EQ(rows("SELECT Nom, Debut FROM Rcomp"), std::vector<std::string>{"Avant import|NULL"});
}

const std::string kErrorEnd = "Une erreur s'est produite lors de la lecture du fichier rcomp.txt\n"
                              "Erreur n° 13: Incompatibilité de type\n\n";

INSTANTIATE_TEST_SUITE_P(
    Fields, HeaderFailure,
    ::testing::Values(
        Failure{"blank number", "   " + header().substr(3), "Numéro de la compétition manquant.\n\n"},
        Failure{"lower-case type", header("c"), "\nType de compétition :  inconnu : c.\n\n"},
        Failure{"day 32", header("C", "Meeting", "32032026"), "\nDate de début incorrecte.\n\n"},
        Failure{"blank pool", header("C", "Meeting", "05032026", "Paris", ""), "\nLongueur du bassin manquant.\n\n"},
        Failure{"31 February", header("C", "Meeting", "31022026"), "\nNom de la compétition : Meeting.\n" + kErrorEnd},
        Failure{"pool not a number", header("C", "Meeting", "05032026", "Paris", "2'"),
                "\nLongueur du bassin : 2'.\n" + kErrorEnd}));

}  // namespace
}  // namespace couloir::ombrelay::test
