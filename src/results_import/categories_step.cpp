// categori.txt: the competition's age categories, one Categori row per line.
// The older layout (29-character lines) reads the same way.
#include <limits>
#include <string>
#include <vector>

#include "shared/text_date.h"
#include "results_import/steps.h"
#include "shared/files.h"

namespace couloir::ombrelay {
namespace {

// Number, first and last birth years, then the label to the end of the line.
const std::vector<int> kWidths = {2, 4, 4, std::numeric_limits<int>::max()};
enum Field { kNumber, kFirstYear, kLastYear, kLabel };

void importCategories(ImportContext& context, double increment) {
    LineReader reader(context.files.categori, &context.trace());
    std::string line;
    std::int16_t lineNumber = 0;
    while (reader.next(line, true)) {
        lineNumber = toInt16(lineNumber + 1);
        reader.requireText();
        std::vector<std::string> f = cutFields(line, kWidths);
        if (f[kLabel].empty()) context.trace().EcrireLigneErreur(lineNumber, "Libellé de la catégorie vide.", "Warning");
        context.db().execute(Statement::insert("INSERT INTO", "Categori")
                                 .sql(" (Num_compet, Num_cat, Annee_depart, Annee_fin, Libelle) VALUES (")
                                 .number(context.competition)
                                 .sql(", ")
                                 .number(f[kNumber])
                                 .sql(", ")
                                 .number(f[kFirstYear])
                                 .sql(", ")
                                 .number(f[kLastYear])
                                 .sql(", ")
                                 .text(f[kLabel])
                                 .sql(");"));
        AvancerProgression(context.form(), increment);
    }
}

}  // namespace

bool importCategoriesFile(ImportContext& context, double increment) {
    bool imported = false;
    try {
        importCategories(context, increment);
        imported = true;
    } catch (...) {
        Error error = caughtError();
        // The rows of the lines before the error stay.
        context.trace().EcrireErreur("Une erreur s'est produite lors du traitement des catégories.", 0, &error);
    }
    context.trace().writeEmpty();
    return imported;
}

}  // namespace couloir::ombrelay
