#include <string>

#include "results_import/steps.h"
#include "step_fixture.h"

namespace couloir::ombrelay::test {
namespace {

using namespace std::chrono_literals;

// A pcomp.txt record: competition, code, date, relay mark, ranking type,
// number of finals, type of finals, order number.
std::string event(const std::string& code, const std::string& date, const std::string& ranking = "1",
                  const std::string& finals = "0", const std::string& finalsType = " ",
                  const std::string& order = "1") {
    return "012" + strCadrerDroite(code, 2) + date + "I" + ranking + finals + finalsType + strCadrerDroite(order, 2);
}

const std::string kProgrammeRows =
    "SELECT Code_epreuve, JourCourse, Type, Nb_finales, Type_finale, Num_ordre FROM Pcomp "
    "WHERE Num_compet = 7 ORDER BY rowid";

class ProgrammeStep : public StepFixture {
protected:
    ProgrammeStep() {
        context.startDate = 2026y / 3 / 5;
        context.endDate = 2026y / 3 / 7;
        db().execute(test::sql("INSERT INTO Pcomp (Num_compet, Code_epreuve, JourCourse) VALUES (7, 40, 1)"));
        db().execute(test::sql("INSERT INTO Pcomp (Num_compet, Code_epreuve, JourCourse) VALUES (8, 40, 1)"));
    }

    bool import(const std::vector<std::string>& lines) {
        context.files.pcomp = file("pcomp.txt", lines);
        return importProgrammeFile(context, 100.0 / static_cast<double>(lines.size() ? lines.size() : 1));
    }
};

TEST_F(ProgrammeStep, ReplacesTheProgrammeInCodeOrderWithDayNumbers) {
    context.tabDatesNages[41] = "01 janvier 2020";  // left by an earlier call
    ASSERT_TRUE(import({event("12", "05032026", "1", "0", " ", "1"), event("3", "07032026", "1", "0", " ", "3"),
                        event("2", "05032026", "1", "0", " ", "2"), event("12", "06032026", "8", "3", "C", "4")}));

    EXPECT_EQ(traceText(), "\n");
    EXPECT_EQ(rows(kProgrammeRows), (std::vector<std::string>{"2|1|1|||2", "3|3|1|||3", "12|2|8|3|C|4"}));
    EXPECT_EQ(rows("SELECT Num_compet FROM Pcomp WHERE Num_compet <> 7"), std::vector<std::string>{"8"});
    EXPECT_EQ(context.tabDatesNages[3], "07 mars 2026");
    EXPECT_EQ(context.tabDatesNages[12], "06 mars 2026");
    EXPECT_EQ(context.tabDatesNages[41], "");
}

TEST_F(ProgrammeStep, OutOfRangeValuesWarnOnTheirLineAndTakeDefaults) {
    ASSERT_TRUE(import({
        event("3", "05032026", "1", "2", "T", "3"),  // line 1: finals on a timed event
        event("1", "05032026", "2", " ", " ", "1"),  // line 2: no finals given
        event("4", "06032026", "5", "0", " ", "0"),  // line 3: unknown ranking, no order
        event("2", "07032026", "8", "3", "C", "2"),  // line 4: all fine
        event("5", "07032026", "1", "0", " ", "5"),  // line 5: timed, no finals
    }));

    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 2.\n"
              "Nombre de finales pour épreuve (code 1) inconnu : 0. Finale A par défaut.\n"
              "Warning Ligne n° : 2.\n"
              "Type de finales pour épreuve (code 1) inconnu :  . Finales toutes catégories par défaut.\n"
              "Warning Ligne n° : 1.\n"
              "Il ne peut y avoir des finales pour une épreuve (code 3) dont le classement est au temps.\n"
              "Warning Ligne n° : 1.\n"
              "Il ne peut y avoir des finales pour une épreuve (code 3) dont le classement est au temps.\n"
              "Warning Ligne n° : 3.\n"
              "Type de classement pour épreuve (code 4) inconnu : 5. Classement au temps par défaut.\n"
              "Warning Ligne n° : 3.\n"
              "Numéro d'ordre pour épreuve (code 4) non défini.\n"
              "\n");
    EXPECT_EQ(rows(kProgrammeRows), (std::vector<std::string>{"1|1|2|1|T|1", "2|3|8|3|C|2", "3|1|1|||3",
                                                              "4|2|1|||0", "5|3|1|||5"}));
}

TEST_F(ProgrammeStep, DatesApartFromTheCompetitionWarnButStore) {
    context.startDate = 2026y / 3 / 4;
    context.endDate = 2026y / 3 / 8;
    ASSERT_TRUE(import({event("1", "05032026"), event("2", "07032026")}));

    EXPECT_EQ(traceText(),
              "Erreur dans les dates.\n"
              "Le début de la compétition ne correspond pas avec le début des épreuves.\n"
              "Date début compétition : 04/03/2026\n"
              "Date début épreuves : 05/03/2026\n"
              "Erreur dans les dates.\n"
              "La fin de la compétition ne correspond pas avec la fin des épreuves.\n"
              "Date fin compétition : 08/03/2026\n"
              "Date fin épreuves : 07/03/2026\n"
              "\n");
    EXPECT_EQ(rows(kProgrammeRows).size(), 2u);
}

TEST_F(ProgrammeStep, UnknownEventCodesStoreNothing) {
    EXPECT_FALSE(import({event("1", "05032026"), event("10", "05032026"), event("8", "06032026")}));

    EXPECT_EQ(traceText(),
              "Des codes nages dans le fichier pcomp.txt sont incorrectes : \n"
              "8\n"
              "10\n"
              "Le programme n'a pas été enregistré.\n"
              "\n");
    EXPECT_EQ(rows(kProgrammeRows), std::vector<std::string>{"40|1|NULL|NULL|NULL|NULL"});
}

TEST_F(ProgrammeStep, DatabaseErrorWhileStoringIsReported) {
    db().execute(test::sql("DROP TABLE Pcomp"));
    EXPECT_FALSE(import({event("1", "05032026")}));
    std::string text = traceText();
    EXPECT_EQ(text.rfind("Une erreur s'est produite lors de l'enregistrement du programme dans la base.\nErreur n° ", 0),
              0u)
        << text;
    EXPECT_TRUE(endsWith(text, "\nLe programme n'a pas été enregistré.\n\n")) << text;
}

// Lines the programme cannot be read from: the step fails before touching Pcomp.
struct Unreadable {
    const char* what;
    std::vector<std::string> lines;
    const char* error;
};

void PrintTo(const Unreadable& unreadable, std::ostream* out) { *out << unreadable.what; }

class UnreadableProgramme : public ProgrammeStep, public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableProgramme, FailsWithTheReadMessage) {
    EXPECT_FALSE(import(GetParam().lines));
    EXPECT_EQ(traceText(), std::string("Une erreur s'est produite lors de la récupération du programme de la "
                                       "compétition.\n") +
                               GetParam().error + "\nLe programme n'a pas été enregistré.\n\n");
    EXPECT_EQ(rows(kProgrammeRows), std::vector<std::string>{"40|1|NULL|NULL|NULL|NULL"});
}

const char* kTypeMismatch = "Erreur n° 13: Incompatibilité de type";

INSTANTIATE_TEST_SUITE_P(
    Lines, UnreadableProgramme,
    ::testing::Values(
        Unreadable{"negative code", {event("1", "05032026"), event("-1", "05032026")},
                   "Erreur n° 9: L'indice n'appartient pas à la sélection"},
        Unreadable{"one invalid date", {event("1", "05032026"), event("2", "05132026")}, kTypeMismatch},
        Unreadable{"31 February", {event("1", "31022026")}, kTypeMismatch},
        Unreadable{"blank line", {event("1", "05032026"), "", event("2", "05032026")}, kTypeMismatch},
        Unreadable{"binary junk", {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"},
                   "Erreur n° 321: Ligne 1 du fichier pcomp.txt illisible : caractère de contrôle (code 1) en position 1"}));

}  // namespace
}  // namespace couloir::ombrelay::test
