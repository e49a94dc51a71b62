#include <string>

#include "results_import/steps.h"
#include "step_fixture.h"

namespace couloir::ombrelay::test {
namespace {

const std::string kCategoryRows =
    "SELECT Num_compet, Num_cat, Annee_depart, Annee_fin, Libelle FROM Categori ORDER BY rowid";

class CategoriesStep : public StepFixture {
protected:
    // Raw bytes, as DOS software writes them: \x82 is "é" in the DOS code page.
    bool import(const std::string& bytes) {
        context.files.categori = dir.file("categori.txt");
        writeBytes(context.files.categori, bytes);
        return importCategoriesFile(context, 50.0);
    }
};

TEST_F(CategoriesStep, StoresEachLineWithLabelsAsWritten) {
    db().execute(test::sql("INSERT INTO Categori (Num_compet, Num_cat, Libelle) VALUES (7, 9, 'Earlier')"));

    ASSERT_TRUE(import("0120102011Benjamins d'\x82t\x82   \r\n"
                       "0220082009\r\n"
                       "0319902007Toutes cat\x82gories \r\n"));

    EXPECT_EQ(traceText(), "Warning Ligne n° : 2.\nLibellé de la catégorie vide.\n\n");
    EXPECT_EQ(rows(kCategoryRows), (std::vector<std::string>{"7|9|NULL|NULL|Earlier", "7|1|2010|2011|Benjamins d'été",
                                                             "7|2|2008|2009|", "7|3|1990|2007|Toutes catégories"}));
}

// Numbers that cannot go into the statement fail the step; earlier lines stay.
struct Failure {
    const char* what;
    std::string line;
    std::string warning;  // written before the error, if any
};

void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.what; }

class CategoriesFailure : public CategoriesStep, public ::testing::WithParamInterface<Failure> {};

TEST_P(CategoriesFailure, KeepsEarlierRowsAndReportsTheError) {
    EXPECT_FALSE(import("0120102011Benjamins\r\n" + GetParam().line + "\r\n0320002001Minimes\r\n"));

    EXPECT_EQ(traceText(), GetParam().warning +
                               "Une erreur s'est produite lors du traitement des catégories.\n"
                               "Erreur n° 13: Incompatibilité de type\n\n");
    EXPECT_EQ(rows(kCategoryRows), std::vector<std::string>{"7|1|2010|2011|Benjamins"});
}

INSTANTIATE_TEST_SUITE_P(Lines, CategoriesFailure,
                         ::testing::Values(Failure{"blank birth years", "02        Juniors", ""},
                                           Failure{"apostrophe in a number", "2'20082009Cadets", ""},
                                           Failure{"blank line", "",
                                                   "Warning Ligne n° : 2.\nLibellé de la catégorie vide.\n"}));

}  // namespace
}  // namespace couloir::ombrelay::test
