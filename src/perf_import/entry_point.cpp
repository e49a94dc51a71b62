// The public method of the performance library: clsTessimor.bimport_perf.
// It opens the trace, checks the source, opens the database, copies the
// interchange files and runs the performance-import sequence.
#include "couloir/couloir.h"
#include "perf_import/sequence.h"
#include "shared/clock.h"
#include "shared/files.h"

namespace couloir::tessimor {
namespace {

struct Arguments {
    std::string database, sourceDir, temporaryDir, tracePath;
    const couloir_form* form;
};

std::string text(const char* value) { return value ? value : ""; }

FilePaths sourcePaths(const std::string& dir) {
    return {strCheminFichier(dir, "licence.txt"), strCheminFichier(dir, "club.txt"),
            strCheminFichier(dir, "origine.txt"), strCheminFichier(dir, "liffn.txt")};
}

// Checks the files and runs the sequence; false when liffn.txt is missing
// or the performances were discarded. The other files are optional: a
// missing one only skips its step.
bool bImporterFichiers(PerfRun& run, const std::string& temporaryDir) {
    Trace& trace = run.trace();
    if (!bFichierPresent(trace, run.files.liffn, temporaryDir)) return false;
    for (std::string* path : {&run.files.licence, &run.files.club, &run.files.origine})
        bFichierPresent(trace, *path, temporaryDir);
    return bEnchainerImportPerfs(run);
}

bool importPerformances(const Arguments& args) {
    Trace trace(args.tracePath);
    if (!trace.isOpen()) return false;
    trace.write("Début de l'import : " + generalForm(now()) + std::string(CRLF));

    Form form(args.form);
    Connexion connexion;
    Session session{trace, form, connexion};
    PerfRun run{session, sourcePaths(args.sourceDir)};
    bool result = false;
    try {
        std::string error;
        if (!bLecteurPret(args.sourceDir)) {
            trace.write("Le lecteur source n'est pas pret.");
            trace.write("Import annulé.");
        } else if (!connexion.bConnexion(args.database, error)) {
            trace.write("Erreur de connexion dans dll d'import des licences." + std::string(CRLF) + "Import annulé." +
                        std::string(CRLF) + error);
        } else {
            ChargerNagesValides(run);
            result = bImporterFichiers(run, args.temporaryDir);
        }
    } catch (const Error& e) {
        // An error outside the steps' own handlers ends at the close below.
        trace.write(strTexteErreur(e));
    }
    std::string error;
    if (!connexion.bDeconnexion(error))
        trace.EcrireErreur("Une erreur s'est produite lors de la déconnexion." + std::string(CRLF) + error, 0);
    trace.writeEmpty();
    trace.writeEmpty();
    trace.write("Fin importation : " + generalForm(now()));
    return result;
}

}  // namespace
}  // namespace couloir::tessimor

// Nothing may cross the C boundary: anything unforeseen is a false result.
extern "C" bool Tessimor_clsTessimor_bimport_perf(const char* strFileBase_P, const char* strRepSource,
                                                  const char* strRepTempo, const char* strFileTrace_P,
                                                  const couloir_form* objFormCible) {
    using namespace couloir::tessimor;
    try {
        return importPerformances(
            Arguments{text(strFileBase_P), text(strRepSource), text(strRepTempo), text(strFileTrace_P), objFormCible});
    } catch (...) {
        return false;
    }
}
