#include "licence_import/licence_sequence.h"

#include <cstdint>

#include "shared/interchange_file_names.h"
#include "shared/club_import.h"
#include "shared/clock.h"
#include "shared/files.h"
#include "shared/licence_import.h"
#include "shared/run_lists.h"

namespace couloir::korvenna {
namespace {

// The working copies the sequence reads; a path is empty when its file is absent.
struct LicenceFiles {
    std::string licence, club, origine;
};

bool bEnchainerImportLicences(Session& session, const LicenceFiles& files) {
    Trace& trace = session.trace;
    LireOrigine(trace, files.origine);
    std::int64_t total = 0;
    try {
        total = std::int64_t{lVerifierLongueur(trace, files.club, 43)} + lVerifierLongueur(trace, files.licence, 248);
    } catch (...) {
        // A list that came through empty: nothing is imported from either.
        trace.error(strTexteErreur(caughtError()));
        trace.writeClosingLine("Fin importation : " + generalForm(now()));
        return false;
    }
    if (total == 0) {
        trace.write("Aucune licence et aucun club importé.");
        return true;
    }
    // One bar for both files: it runs once from 0 to 100 across them.
    double increment = 100.0 / static_cast<double>(total);
    session.form.setValue("ProgressBar1", 0);

    // The clubs and swimmers handled are looked up once per call.
    RunLists lists;
    trace.beginStep("Fichier club.txt");
    if (fileExists(files.club)) {
        trace.write("Vérification des clubs depuis fichier Club.txt");
        if (!ImporterClubs(session, lists, files.club, increment, kClubsForLicences))
            trace.setStepOutcome(StepOutcome::Failed);
    } else {
        trace.setStepOutcome(StepOutcome::Skipped);
        trace.write("Fichier Club.txt non disponible.");
    }
    trace.writeEmpty();
    trace.beginStep("Fichier licence.txt");
    trace.write("Traitement des licences depuis fichier Licence.txt");
    if (!ImporterLicences(session, lists, files.licence, increment, kLicencesForLicences, std::nullopt))
        trace.setStepOutcome(StepOutcome::Failed);

    trace.writeClosingLine("Fin importation : " + generalForm(now()));
    return true;
}

}  // namespace

bool bImport_Licence(const CallFrame& call, const std::string& temporaryDir) {
    return runCall(call, [&](Session& session) {
        using namespace file_names;
        LicenceFiles files{strCheminFichier(call.sourceDir, kLicence), strCheminFichier(call.sourceDir, kClub),
                           strCheminFichier(call.sourceDir, kOrigine)};
        if (!bFichierPresent(session.trace, files.licence, temporaryDir)) return false;
        // A missing club list or origine.txt is reported here and met again by the sequence.
        bFichierPresent(session.trace, files.club, temporaryDir);
        bFichierPresent(session.trace, files.origine, temporaryDir);
        return bEnchainerImportLicences(session, files);
    });
}

}  // namespace couloir::korvenna
