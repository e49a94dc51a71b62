// The public method of Vandrule.clscreate_disk: bCreation_disquette.
#include <string>
#include <vector>

#include "competition_files/creation_state.h"
#include "competition_files/sequence.h"
#include "couloir/couloir.h"
#include "shared/c_arguments.h"
#include "shared/clock.h"
#include "shared/connection.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::vandrule {
namespace {

// The files of one creation, as the federation's software expects them.
const std::vector<std::string> kCreatedFiles = {"Origine.txt", "Rcomp.txt",   "Pcomp.txt",  "Nage.txt",
                                                "Club.txt",    "Licence.txt", "Engag.txt", "Relais.txt"};


bool bCreation_disquette(const char* strNumProfil, bool bIsSelection, const char* strNumCompet,
                         const char* strBasePath, const char* strRepTravail, const char* strFiletrace_P,
                         const couloir_form* objFormCible) {
    Form form(objFormCible);
    Trace trace(text(strFiletrace_P));
    trace.reportTo(form);
    trace.write("Début de la création de fichier : " + generalForm(now()) + std::string(CRLF));

    // Null columns read as empty texts here.
    Connection connection(ConnectionOptions{.nullText = NullText::Empty}, &form);
    Session session{trace, form, connection};
    CreationState state{.session = session,
                        .strNumProfil = text(strNumProfil),
                        .bIsSelection = bIsSelection,
                        .strNumCompet = text(strNumCompet),
                        .strRepTravail = text(strRepTravail)};

    bool result = false;
    std::string errorText;
    if (connection.bConnexion(text(strBasePath), errorText)) {
        result = clearEarlierRun(trace, state.strRepTravail, kCreatedFiles) && bEnchainerCreation(state);
        if (!connection.bDeconnexion(errorText))
            trace.error("Erreur lors de la déconnexion de la base." + std::string(CRLF) + errorText);
    } else {
        trace.error("Erreur lors de la connexion à la base." + std::string(CRLF) + errorText);
    }

    trace.endStep();
    trace.write("Fin de la création de fichier : " + generalForm(now()) + std::string(CRLF));
    trace.close();
    return result;
}

}  // namespace
}  // namespace couloir::vandrule

extern "C" COULOIR_EXPORT bool Vandrule_clscreate_disk_bCreation_disquette(
    const char* strNumProfil, bool bIsSelection, const char* strNumCompet, const char* strBasePath,
    const char* strRepTravail, const char* strFiletrace_P, const couloir_form* objFormCible) {
    try {
        return couloir::vandrule::bCreation_disquette(strNumProfil, bIsSelection, strNumCompet, strBasePath,
                                                      strRepTravail, strFiletrace_P, objFormCible);
    } catch (...) {
        return false;  // nothing crosses the boundary; the steps have reported what they could
    }
}
