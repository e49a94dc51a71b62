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
std::string colonnes(std::string_view ligne, std::size_t premiere, std::size_t largeur) {
    return std::string(charSubstr(ligne, premiere - 1, largeur));
}

std::string nombreDecimal(std::string_view texte) { return shortestDecimal(numericValue(texte)); }

// The table and Num_Lic of the entry's result rows; false when the entry
// names no known relay team or swimmer.
bool retrouverEntree(ImportContext& context, const std::string& epreuve, const std::string& club,
                     const std::string& licence, std::string& table, std::string& numLic) {
    if (licence.starts_with('R')) {
        if (!context.colCompositionsRelais.contains(epreuve + club + licence)) return false;
        table = "Prres_relais";
        numLic = nombreDecimal(charSubstr(licence, 2, 3));
        return true;
    }
    table = "Prres";
    return bLireCollection(context.lists.colLicencesNum, club + licence, numLic);
}

void majEntree(ImportContext& context, std::string_view ligne, long numeroLigne) {
    std::string equipe = nombreDecimal(colonnes(ligne, 32, 2));
    if (equipe == "0") return;
    std::string epreuve = colonnes(ligne, 4, 2);
    std::string club = colonnes(ligne, 6, 13);
    std::string licence = colonnes(ligne, 19, 6);
    std::string table, numLic;
    if (!retrouverEntree(context, epreuve, club, licence, table, numLic)) {
        context.trace().EcrireLigneErreur(numeroLigne,
                                          "Aucune ligne dans le fichier prres.txt ne correspond avec ces informations."
                                          "Impossible de traiter les informations de cette ligne.",
                                          "Warning");
        return;
    }
    context.db().execute("UPDATE " + table + " SET Num_equipe = " + equipe + " WHERE Num_compet = " +
                         context.competition + " AND Code_epreuve = " + sqlNumber(std::string(trim(epreuve))) +
                         " AND Code_club = " + sqlQuote(club) + " AND Num_Lic = " + numLic);
}

}  // namespace

bool MajEquipes(ImportContext& context, double increment) {
    long numeroLigne = 0;
    bool termine = false;
    try {
        LineReader fichier(context.files.engag);
        std::string ligne;
        while (fichier.next(ligne, false)) {
            ++numeroLigne;
            majEntree(context, ligne, numeroLigne);
            AvancerProgression(context.form(), increment);
        }
        termine = true;
    } catch (const Error& e) {
        context.trace().EcrireErreur("Une erreur s'est produite lors de la mise à jour depuis fichier engag.txt",
                                     numeroLigne, &e);
    }
    context.trace().writeEmpty();
    return termine;
}

}  // namespace couloir::ombrelay
