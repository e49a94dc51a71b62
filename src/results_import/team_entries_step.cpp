// engag.txt: copies each entry's team number into the result rows of its
// swimmer or relay team. An entry without a swimmer or relay is only warned
// about; an error ends the step, which does not cancel the import.
#include "shared/text_date.h"
#include "results_import/steps.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// A column range of the line as it stands; empty past the end of a short line.
std::string columns(std::string_view line, std::size_t first, std::size_t width) {
    return std::string(charSubstr(line, first - 1, width));
}

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
    std::string team = decimalNumber(columns(line, 32, 2));
    if (team == "0") return;
    std::string event = columns(line, 4, 2);
    std::string club = columns(line, 6, 13);
    std::string licence = columns(line, 19, 6);
    std::string table, swimmerNum;
    if (!findEntry(context, event, club, licence, table, swimmerNum)) {
        context.trace().EcrireLigneErreur(lineNumber,
                                          "Aucune ligne dans le fichier prres.txt ne correspond avec ces informations."
                                          "Impossible de traiter les informations de cette ligne.",
                                          "Warning");
        return;
    }
    context.db().execute("UPDATE " + table + " SET Num_equipe = " + team + " WHERE Num_compet = " +
                         context.competition + " AND Code_epreuve = " + sqlNumber(std::string(trim(event))) +
                         " AND Code_club = " + sqlQuote(club) + " AND Num_Lic = " + swimmerNum);
}

}  // namespace

bool MajEquipes(ImportContext& context, double increment) {
    long lineNumber = 0;
    bool completed = false;
    try {
        LineReader reader(context.files.engag);
        std::string line;
        while (reader.next(line, false)) {
            ++lineNumber;
            updateEntry(context, line, lineNumber);
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
