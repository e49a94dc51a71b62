// engag.txt: copies each entry's team number into the result rows of its
// swimmer or relay team. An entry without a swimmer or relay is only warned
// about; an error ends the step, which does not cancel the import.
#include "results_import/steps.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// A field of the line as it stands; empty past the end of a short line.
std::string field(std::string_view line, EngagField which) { return std::string(rawField(line, kEngagWidths, which)); }

std::string decimalNumber(std::string_view text) { return shortestDecimal(numericValue(text)); }

// The table and Num_Lic of the entry's result rows; false when the entry
// names no known relay team or swimmer.
bool findEntry(ImportContext& context, const std::string& event, const std::string& club,
               const std::string& licence, std::string& table, std::string& swimmerNum) {
    if (licence.starts_with('R')) {
        if (!context.colCompositionsRelais.contains(event + club + licence)) return false;
        table = "Prres_relais";
        swimmerNum = decimalNumber(charSubstr(licence, 2, 3));
        return true;
    }
    table = "Prres";
    return bLireCollection(context.lists.colLicencesNum, club + licence, swimmerNum);
}

void updateEntry(ImportContext& context, std::string_view line, long lineNumber) {
    std::string team = decimalNumber(field(line, kEngEquipe));
    if (team == "0") return;
    std::string event = field(line, kEngEpreuve);
    std::string club = field(line, kEngClub);
    std::string licence = field(line, kEngLicence);
    std::string table, swimmerNum;
    if (!findEntry(context, event, club, licence, table, swimmerNum)) {
        context.trace().EcrireLigneErreur(lineNumber,
                                          "Aucune ligne dans le fichier prres.txt ne correspond avec ces informations."
                                          "Impossible de traiter les informations de cette ligne.",
                                          "Warning");
        return;
    }
    context.db().execute(Statement::update("UPDATE", table)
                             .sql(" SET Num_equipe = ")
                             .decimal(team)
                             .sql(" WHERE Num_compet = ")
                             .number(context.competition)
                             .sql(" AND Code_epreuve = ")
                             .number(event)
                             .sql(" AND Code_club = ")
                             .text(club)
                             .sql(" AND Num_Lic = ")
                             .decimal(swimmerNum));
}

}  // namespace

bool MajEquipes(ImportContext& context, double increment) {
    long lineNumber = 0;
    bool completed = false;
    try {
        LineReader reader(context.files.engag, &context.trace());
        std::string line;
        while (reader.next(line, false)) {
            ++lineNumber;
            // An unreadable line is warned about as an entry that matches no result.
            if (reader.isText()) updateEntry(context, line, lineNumber);
            else context.trace().EcrireLigneErreur(lineNumber, reader.refusal(), "Warning");
            AvancerProgression(context.form(), increment);
        }
        completed = true;
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur("Une erreur s'est produite lors de la mise à jour depuis fichier engag.txt",
                                     lineNumber, &e);
    }
    context.trace().writeEmpty();
    return completed;
}

}  // namespace couloir::ombrelay
