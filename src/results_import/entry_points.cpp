// The two public methods of the results library: clsOmbrelay.bimport_result
// and clsRecupSque.bimport_squelette. Each opens the trace, checks the source,
// opens the database, copies the interchange files and runs its sequence.
#include <memory>
#include <vector>

#include "couloir/couloir.h"
#include "results_import/sequence.h"
#include "shared/c_arguments.h"
#include "shared/files.h"
#include "shared/interchange_file_names.h"
#include "shared/call_frame.h"

namespace couloir::ombrelay {
namespace {

enum class Kind { Results, Skeleton };

struct Arguments {
    std::string database, sourceDir, temporaryDir, tracePath, competition;
    const couloir_form* form;
    bool newCompetition;
};

// The files a sequence needs, in the order they are checked.
std::vector<std::string FilePaths::*> neededFiles(Kind kind) {
    if (kind == Kind::Skeleton) return {&FilePaths::origine, &FilePaths::rcomp, &FilePaths::pcomp};
    return {&FilePaths::licence, &FilePaths::club,    &FilePaths::origine, &FilePaths::rcomp, &FilePaths::pcomp,
            &FilePaths::categori, &FilePaths::relais, &FilePaths::prres,   &FilePaths::engag};
}

FilePaths sourcePaths(const std::string& dir) {
    using namespace file_names;
    return {strCheminFichier(dir, kLicence), strCheminFichier(dir, kClub),     strCheminFichier(dir, kOrigine),
            strCheminFichier(dir, kRcomp),   strCheminFichier(dir, kPcomp),    strCheminFichier(dir, kCategori),
            strCheminFichier(dir, kRelais),  strCheminFichier(dir, kPrres),    strCheminFichier(dir, kEngag)};
}

// Checks the competition number; false, reported, when it cannot be used.
bool checkCompetitionNumber(Trace& trace, const std::string& competition) {
    // The competition number goes unquoted into every statement: only digits pass.
    if (isRowNumber(competition)) return true;
    trace.error("Numéro de compétition incorrect : " + competition + "." + std::string(CRLF) + "Import annulé.");
    return false;
}

// Purges what the results import needs purged, checks and copies the files
// and runs the sequence of `kind`.
bool runSequence(Kind kind, const Arguments& args, Session& session) {
    auto context = std::make_unique<ImportContext>(session);
    context->files = sourcePaths(args.sourceDir);
    context->competition = args.competition;
    context->newCompetition = kind == Kind::Results && args.newCompetition;
    if (kind == Kind::Results) {
        context->InitCollections();
        if (!args.newCompetition) SupprimerAnciennesDonnees(*context);
        context->clearEventDates();
    }
    for (auto file : neededFiles(kind)) {
        if (!bFichierPresent(session.trace, context->files.*file, args.temporaryDir)) {
            session.connection.discardCall();  // a wrong folder leaves the earlier import in place
            return false;
        }
    }
    return kind == Kind::Results ? bEnchainerImportResultats(*context) : bEnchainerImportSquelette(*context);
}

bool importCompetition(Kind kind, const Arguments& args) {
    CallFrame call{.tracePath = args.tracePath,
                   .database = args.database,
                   .form = args.form,
                   .checkArguments = [&](Trace& trace) { return checkCompetitionNumber(trace, args.competition); },
                   .sourceDir = args.sourceDir,
                   .connectionFailure = kLicenceConnectionFailure,
                   .disconnectionFailure = "Erreur lors de la déconnexion.",
                   .disconnectionFailureNamesError = false,
                   .closing = ClosingLine{"Fin importation : ", 2}};
    return runCall(call, [&](Session& session) { return runSequence(kind, args, session); });
}

// Nothing may cross the C boundary: anything unforeseen is a false result.
bool guarded(Kind kind, const Arguments& args) {
    try {
        return importCompetition(kind, args);
    } catch (...) {
        return false;
    }
}

}  // namespace
}  // namespace couloir::ombrelay

using couloir::text;
using couloir::ombrelay::Arguments;
using couloir::ombrelay::Kind;

extern "C" bool Ombrelay_clsOmbrelay_bimport_result(const char* strFileBase_P, const char* strRepSource,
                                                    const char* strRepTempo, const char* strFileTrace_P,
                                                    const couloir_form* objFormCible, const char* strNumCompet_P,
                                                    bool bNewCompet) {
    return couloir::ombrelay::guarded(Kind::Results,
                                      Arguments{text(strFileBase_P), text(strRepSource), text(strRepTempo),
                                                text(strFileTrace_P), text(strNumCompet_P), objFormCible, bNewCompet});
}

extern "C" bool Ombrelay_clsRecupSque_bimport_squelette(const char* strFileBase_P, const char* strRepSource,
                                                        const char* strRepTempo, const char* strFileTrace_P,
                                                        const couloir_form* objFormCible,
                                                        const char* strNumCompet_P) {
    return couloir::ombrelay::guarded(Kind::Skeleton,
                                      Arguments{text(strFileBase_P), text(strRepSource), text(strRepTempo),
                                                text(strFileTrace_P), text(strNumCompet_P), objFormCible, false});
}
