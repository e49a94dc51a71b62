#include "perf_import/perf_file.h"

#include "shared/club_import.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/text_date.h"

namespace couloir::tessimor {
namespace {

const std::string kNl(CRLF);

// The reference swimmer's Num, read only: this import never creates him.
std::string strLireNageurReference(Database& db) {
    Columns reference = db.ChargerColonnes("select Num from Licence where Nom = " + sqlQuote(kLibelleInconnu));
    return reference.hasRows() ? reference.at(0, 0) : std::string();
}

bool SortieSurErreur(Trace& trace, long lineNumber, const std::string& message) {
    trace.EcrireLigneErreur(lineNumber, message + kNl + "Importation des performances annulées.", "Erreur");
    trace.writeEmpty();
    return false;
}

}  // namespace

bool bImporterPerfs(PerfRun& run, double increment) {
    Trace& trace = run.trace();
    long lineNumber = 0;
    try {
        LineReader reader(run.files.liffn);
        std::string reference = strLireNageurReference(run.db());
        if (reference.empty()) {
            return SortieSurErreur(trace, 0,
                                   "Impossible de trouver la licence du nageur de référence." + kNl +
                                       "Les performances des relais ne peuvent pas être importées." + kNl +
                                       "Importation annulée." + kNl);
        }
        PerformanceFile file(run, reference);
        std::string line, message;
        while (reader.next(line, true)) {
            file.n.lines = ++lineNumber;  // also kept outside `file` for the handler
            message.clear();
            if (!file.bTraiterLigne(line, lineNumber, message)) return SortieSurErreur(trace, lineNumber, message);
            AvancerProgression(run.form(), increment);
        }
        file.EcrireBilan();
        return true;
    } catch (const Error& e) {
        trace.EcrireErreur("Import des performances annulé.", lineNumber, &e);
        return false;
    }
}

bool PerformanceFile::bTraiterLigne(std::string_view line, long lineNumber, std::string& message) {
    line_ = lineNumber;
    std::string_view twoCharacters = charSubstr(line, 0, 2);
    std::optional<int> code = codeNage(twoCharacters);
    if (!code || !run_.tabNagesValides[*code]) {
        message = "Code nage invalide : " + std::string(twoCharacters);
        return false;
    }
    ChampsPerf champs;
    if (!bDecouperPerf(line, champs, message)) return false;

    const std::string& club = champs[kPerfClub];
    if (club != previousClub_) {
        if (saveLineClub(run_.trace(), run_.db(), run_.lists.colClubsVus, club, line_, n.clubsAdded, message) ==
            kClubEchec)
            return false;
        message.clear();  // a club known under another label is no error here
        previousClub_ = club;
    }
    return bLigneRelais(champs[kPerfLicence]) ? bTraiterRelais(champs, *code, message)
                                              : bTraiterIndividuel(champs, *code, message);
}

bool PerformanceFile::bTraiterIndividuel(const ChampsPerf& champs, int code, std::string& message) {
    if (key_ != champs[kPerfClub] + champs[kPerfLicence] && !bTrouverNageur(champs, code, message)) return false;
    long age = annee(champs[kPerfDate]) - swimmer_.birthYear;
    if (age < 0) {
        message = "Résultat négatif du calcul de l'âge lors de la performance.";
        return false;
    }
    if (!bInsererPerf(champs, code, age, message)) return false;
    ++n.individual;
    return true;
}

bool PerformanceFile::bTraiterRelais(ChampsPerf& champs, int code, std::string& message) {
    std::int64_t team = iNumeroEquipe(champs[kPerfLicence]);
    ResoudreRelayeurs(champs);
    if (!bInsererPerfRelais(champs, code, team, message)) return false;
    ++n.relay;
    return true;
}

void PerformanceFile::EcrireBilan() {
    Trace& trace = run_.trace();
    trace.EcrirePluriel(n.lines, "Traitement de " + std::to_string(n.lines) + " ligne<PLURIEL> de données.");
    trace.EcrirePluriel(n.individual, "Récupération de " + std::to_string(n.individual) +
                                          " performance<PLURIEL> individuelle<PLURIEL>.");
    trace.EcrirePluriel(n.relay, "Récupération de " + std::to_string(n.relay) + " performance<PLURIEL> de relais.");
    trace.EcrirePluriel(n.clubsAdded, std::to_string(n.clubsAdded) + " club<PLURIEL> ajouté<PLURIEL> avec le libellé " +
                                          std::string(kLibelleInconnu) + ".");
    trace.writeEmpty();
}

}  // namespace couloir::tessimor
