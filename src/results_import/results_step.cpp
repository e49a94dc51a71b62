// prres.txt: every result of the competition, its row in Prres or
// Prres_relais and its performances in the history. The first line that
// cannot be resolved or stored stops the step, which cancels the import.
#include "results_import/results_step.h"

#include "results_import/performance_history.h"
#include "results_import/result_line.h"
#include "results_import/result_rows.h"
#include "results_import/steps.h"
#include "shared/club_import.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// Makes sure the line's club exists, creating it under the placeholder
// label; false, reported, when it can be neither found nor created.
bool ensureLineClub(ImportContext& context, long lineNumber, const std::string& code, long& clubsCreated) {
    std::string message;
    if (saveLineClub(context.trace(), context.db(), context.lists.colClubsVus, code, lineNumber, clubsCreated, message,
                     CreatedClubWarning::WithoutPeriod) != ClubResult::Failed)
        return true;
    context.trace().EcrireLigneErreur(lineNumber,
                                      "Code club (" + code +
                                          ") inconnu de la base. Echec de la création avec Le libelle " +
                                          std::string(kPlaceholderLabel) + "." + std::string(CRLF) + message,
                                      "Erreur");
    return false;
}

// Imports the lines of the open file; false at the first line that stops the step.
bool importLines(ImportContext& context, LineReader& reader, double increment, const PointsCalculator& objCalculPoint,
                 long& lineNumber, long& clubsCreated) {
    const DerivedEventTable tabSousEpreuves = ChargerSousEpreuves();
    ProgrammeDays days(context.tabDatesNages);
    ResultFields fields;
    ResolvedLine line;
    std::string text;
    while (reader.next(text, false)) {
        ++lineNumber;
        reader.requireText();
        DecouperLigneResultat(context.trace(), text, fields, lineNumber, objCalculPoint);
        if (!ensureLineClub(context, lineNumber, fields[kClubField], clubsCreated)) return false;
        line.relay = fields[kLicenceField].starts_with('R');
        line.resultTable = "Prres";
        line.performanceTable = "Liffn";
        if (!bRetrouverNageur(context, lineNumber, fields, line) ||
            !bInsererResultat(context, lineNumber, fields, line) ||
            !bInsererPerformances(context, lineNumber, fields, line, tabSousEpreuves, days))
            return false;
        AvancerProgression(context.form(), increment);
    }
    return true;
}

}  // namespace

bool ImporterResultats(ImportContext& context, double increment, const PointsCalculatorFactory& createCalculator) {
    Trace& trace = context.trace();
    long lineNumber = 0;
    long clubsCreated = 0;
    bool imported = false;
    try {
        LineReader reader(context.files.prres, &context.trace());
        PointsCalculator objCalculPoint = createCalculator();
        imported = importLines(context, reader, increment, objCalculPoint, lineNumber, clubsCreated);
        if (imported) {
            trace.EcrirePluriel(lineNumber, "results", "Récupération de " + std::to_string(lineNumber) + " résultat<PLURIEL>.");
            trace.EcrirePluriel(clubsCreated, "clubs_added", std::to_string(clubsCreated) +
                                                  " club<PLURIEL> ajouté<PLURIEL> avec le libellé " +
                                                  std::string(kPlaceholderLabel) + ".");
        }
    } catch (...) {
        Error e = caughtError();
        trace.EcrireErreur("Erreur lors de la récupérations des résultats.", lineNumber, &e);
    }
    if (!imported) trace.error("Import des résultats interrompu.");
    trace.writeEmpty();
    return imported;
}

bool ImporterResultats(ImportContext& context, double increment) {
    return ImporterResultats(context, increment, createPointsCalculator);
}

}  // namespace couloir::ombrelay
