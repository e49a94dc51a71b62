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

// The placeholder label of the clubs this step creates.
const std::string kLibelle(kLibelleInconnu);

// Makes sure the line's club exists, creating it under the placeholder
// label; false, reported, when it can be neither found nor created.
bool sauverClubDeLaLigne(ImportContext& context, long numeroLigne, const std::string& code, long& clubsCrees) {
    std::string message;
    int resultat = iSauverClub(context.db(), context.lists.colClubsVus, code, kLibelle, message);
    if (resultat <= kClubEchec) {
        context.trace().EcrireLigneErreur(numeroLigne,
                                          "Code club (" + code +
                                              ") inconnu de la base. Echec de la création avec Le libelle " + kLibelle +
                                              "." + std::string(CRLF) + message,
                                          "Erreur");
        return false;
    }
    if (resultat == kClubCree) {
        ++clubsCrees;
        context.trace().EcrireLigneErreur(
            numeroLigne, "Code club (" + code + ") inconnu de la base. Création avec Le libelle " + kLibelle,
            "Warning");
        context.lists.colClubsVus.add(code, code);
    }
    return true;
}

// Imports the lines of the open file; false at the first line that stops the step.
bool importerLignes(ImportContext& context, LineReader& fichier, double increment, const CalculPoint& calculPoint,
                    long& numeroLigne, long& clubsCrees) {
    const TableSousEpreuves sousEpreuves = ChargerSousEpreuves();
    JoursProgramme jours(context.tabDatesNages);
    ChampsResultat champs;
    LigneResolue ligne;
    std::string texte;
    while (fichier.next(texte, false)) {
        ++numeroLigne;
        DecouperLigneResultat(context.trace(), texte, champs, numeroLigne, calculPoint);
        if (!sauverClubDeLaLigne(context, numeroLigne, champs[kChampClub], clubsCrees)) return false;
        ligne.relais = champs[kChampLicence].starts_with('R');
        ligne.tableResultat = "Prres";
        ligne.tablePerformance = "Liffn";
        if (!bRetrouverNageur(context, numeroLigne, champs, ligne) ||
            !bInsererResultat(context, numeroLigne, champs, ligne) ||
            !bInsererPerformances(context, numeroLigne, champs, ligne, sousEpreuves, jours))
            return false;
        AvancerProgression(context.form(), increment);
    }
    return true;
}

}  // namespace

bool ImporterResultats(ImportContext& context, double increment, const CreerCalculPoint& creerCalcul) {
    Trace& trace = context.trace();
    long numeroLigne = 0;
    long clubsCrees = 0;
    bool importe = false;
    try {
        LineReader fichier(context.files.prres);
        CalculPoint calculPoint = creerCalcul();
        importe = importerLignes(context, fichier, increment, calculPoint, numeroLigne, clubsCrees);
        if (importe) {
            trace.EcrirePluriel(numeroLigne, "Récupération de " + std::to_string(numeroLigne) + " résultat<PLURIEL>.");
            trace.EcrirePluriel(clubsCrees, std::to_string(clubsCrees) +
                                                " club<PLURIEL> ajouté<PLURIEL> avec le libellé " + kLibelle + ".");
        }
    } catch (const Error& e) {
        trace.EcrireErreur("Erreur lors de la récupérations des résultats.", numeroLigne, &e);
    }
    if (!importe) trace.write("Import des résultats interrompu.");
    trace.writeEmpty();
    return importe;
}

bool ImporterResultats(ImportContext& context, double increment) {
    return ImporterResultats(context, increment, creerCalculPoint);
}

}  // namespace couloir::ombrelay
