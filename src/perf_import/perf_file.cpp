#include "perf_import/perf_file.h"

#include "shared/club_import.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/reference_swimmer.h"
#include "shared/text_date.h"

namespace couloir::tessimor {
namespace {

const std::string kNl(CRLF);

bool stopOnError(Trace& trace, long lineNumber, const std::string& message) {
    trace.EcrireLigneErreur(lineNumber, message + kNl + "Importation des performances annulées.", "Erreur");
    trace.writeEmpty();
    return false;
}

}  // namespace

bool bImporterPerfs(PerfRun& run, double increment) {
    Trace& trace = run.trace();
    long lineNumber = 0;
    try {
        LineReader reader(run.files.liffn, &trace);
        // Read only: this import never creates him.
        std::string reference = referenceSwimmer(run.db());
        if (reference.empty()) {
            return stopOnError(trace, 0,
                               "Impossible de trouver la licence du nageur de référence." + kNl +
                                   "Les performances des relais ne peuvent pas être importées." + kNl +
                                   "Importation annulée." + kNl);
        }
        PerformanceFile file(run, reference);
        std::string line, message;
        while (reader.next(line, true)) {
            file.n.lines = ++lineNumber;  // also kept outside `file` for the handler
            message.clear();
            if (!reader.isText()) return stopOnError(trace, lineNumber, reader.refusal());
            if (!file.handleLine(line, lineNumber, message)) return stopOnError(trace, lineNumber, message);
            AvancerProgression(run.form(), increment);
        }
        file.writeSummary();
        return true;
    } catch (...) {
        Error e = caughtError();
        trace.EcrireErreur("Import des performances annulé.", lineNumber, &e);
        return false;
    }
}

bool PerformanceFile::handleLine(std::string_view line, long lineNumber, std::string& message) {
    line_ = lineNumber;
    std::string_view twoCharacters = charSubstr(line, 0, 2);
    std::optional<int> code = strokeCode(twoCharacters);
    if (!code || !run_.tabNagesValides[*code]) {
        message = "Code nage invalide : " + std::string(twoCharacters);
        return false;
    }
    PerfFields fields;
    if (!bDecouperPerf(line, fields, message)) return false;

    const std::string& club = fields[kPerfClub];
    if (club != previousClub_) {
        if (saveLineClub(run_.trace(), run_.db(), run_.lists.colClubsVus, club, line_, n.clubsAdded, message) ==
            ClubResult::Failed)
            return false;
        message.clear();  // a club known under another label is no error here
        previousClub_ = club;
    }
    return isRelayLine(fields[kPerfLicence]) ? handleRelay(fields, *code, message)
                                             : handleIndividual(fields, *code, message);
}

bool PerformanceFile::handleIndividual(const PerfFields& fields, int code, std::string& message) {
    if (key_ != fields[kPerfClub] + fields[kPerfLicence] && !findSwimmer(fields, code, message)) return false;
    long age = yearOf(fields[kPerfDate]) - swimmer_.birthYear;
    if (age < 0) {
        message = "Résultat négatif du calcul de l'âge lors de la performance.";
        return false;
    }
    if (!bInsererPerf(fields, code, age, message)) return false;
    ++n.individual;
    return true;
}

bool PerformanceFile::handleRelay(PerfFields& fields, int code, std::string& message) {
    std::int64_t team = teamNumber(fields[kPerfLicence]);
    ResoudreRelayeurs(fields);
    if (!bInsererPerfRelais(fields, code, team, message)) return false;
    ++n.relay;
    return true;
}

void PerformanceFile::writeSummary() {
    Trace& trace = run_.trace();
    trace.EcrirePluriel(n.lines, "lines", "Traitement de " + std::to_string(n.lines) + " ligne<PLURIEL> de données.");
    trace.EcrirePluriel(n.individual, "individual_performances", "Récupération de " + std::to_string(n.individual) +
                                          " performance<PLURIEL> individuelle<PLURIEL>.");
    trace.EcrirePluriel(n.relay, "relay_performances", "Récupération de " + std::to_string(n.relay) + " performance<PLURIEL> de relais.");
    trace.EcrirePluriel(n.clubsAdded, "clubs_added", std::to_string(n.clubsAdded) + " club<PLURIEL> ajouté<PLURIEL> avec le libellé " +
                                          std::string(kPlaceholderLabel) + ".");
    trace.writeEmpty();
}

}  // namespace couloir::tessimor
