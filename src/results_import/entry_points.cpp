// The two public methods of the results library: clsOmbrelay.bimport_result
// and clsRecupSque.bimport_squelette. Each opens the trace, checks the source,
// opens the database, copies the interchange files and runs its sequence.
#include <memory>
#include <vector>

#include "couloir/couloir.h"
#include "results_import/sequence.h"
#include "shared/clock.h"
#include "shared/files.h"

namespace couloir::ombrelay {
namespace {

enum class Kind { Results, Skeleton };

struct Arguments {
    std::string database, sourceDir, temporaryDir, tracePath, competition;
    const couloir_form* form;
    bool newCompetition;
};

std::string text(const char* value) { return value ? value : ""; }

// The competition number goes unquoted into every statement: only digits pass.
bool isCompetitionNumber(const std::string& value) {
    return !value.empty() && value.size() <= 10 && value.find_first_not_of("0123456789") == std::string::npos;
}

// The files a sequence needs, in the order they are checked.
std::vector<std::string FilePaths::*> neededFiles(Kind kind) {
    if (kind == Kind::Skeleton) return {&FilePaths::origine, &FilePaths::rcomp, &FilePaths::pcomp};
    return {&FilePaths::licence, &FilePaths::club,    &FilePaths::origine, &FilePaths::rcomp, &FilePaths::pcomp,
            &FilePaths::categori, &FilePaths::relais, &FilePaths::prres,   &FilePaths::engag};
}

FilePaths sourcePaths(const std::string& dir) {
    return {strCheminFichier(dir, "licence.txt"),  strCheminFichier(dir, "club.txt"),
            strCheminFichier(dir, "origine.txt"),  strCheminFichier(dir, "rcomp.txt"),
            strCheminFichier(dir, "pcomp.txt"),    strCheminFichier(dir, "categori.txt"),
            strCheminFichier(dir, "relais.txt"),   strCheminFichier(dir, "prres.txt"),
            strCheminFichier(dir, "engag.txt")};
}

bool importCompetition(Kind kind, const Arguments& args) {
    Trace trace(args.tracePath);
    if (!trace.isOpen()) return false;
    trace.write("Début de l'import : " + generalForm(now()) + std::string(CRLF));

    Form form(args.form);
    Connexion connexion;
    Session session{trace, form, connexion};
    auto context = std::make_unique<ImportContext>(session);
    context->files = sourcePaths(args.sourceDir);
    context->competition = args.competition;
    bool result = false;
    try {
        if (!isCompetitionNumber(args.competition)) {
            trace.write("Numéro de compétition incorrect : " + args.competition + "." + std::string(CRLF) +
                        "Import annulé.");
        } else if (!bLecteurPret(args.sourceDir)) {
            trace.write("Le lecteur source n'est pas pret.");
            trace.write("Import annulé.");
        } else {
            if (kind == Kind::Results) context->InitCollections();
            context->newCompetition = kind == Kind::Results && args.newCompetition;
            std::string error;
            if (!connexion.bConnexion(args.database, error)) {
                trace.write("Erreur de connexion dans dll d'import des licences." + std::string(CRLF) + "Import annulé." +
                            std::string(CRLF) + error);
            } else {
                if (kind == Kind::Results) {
                    if (!args.newCompetition) SupprimerAnciennesDonnees(*context);
                    context->clearEventDates();
                }
                bool present = true;
                for (auto file : neededFiles(kind))
                    if (present) present = bFichierPresent(trace, context->files.*file, args.temporaryDir);
                if (present)
                    result = kind == Kind::Results ? bEnchainerImportResultats(*context)
                                                   : bEnchainerImportSquelette(*context);
            }
        }
    } catch (const Error& e) {
        // An error in the entry method's own work ends at the close below,
        // the result keeping the value it had.
        trace.write(strTexteErreur(e));
    }
    std::string error;
    if (!connexion.bDeconnexion(error)) {
        trace.EcrireErreur("Une erreur s'est produite lors de la déconnexion." + std::string(CRLF) + error, 0);
    }
    if (kind == Kind::Results) context->InitCollections();
    trace.writeEmpty();
    trace.writeEmpty();
    trace.write("Fin importation : " + generalForm(now()));
    return result;
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

using couloir::ombrelay::Arguments;
using couloir::ombrelay::Kind;
using couloir::ombrelay::text;

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
