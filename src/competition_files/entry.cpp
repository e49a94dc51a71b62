// The public method of Vandrule.clscreate_disk: bCreation_disquette.
#include <string>

#include "competition_files/creation_state.h"
#include "competition_files/sequence.h"
#include "couloir/couloir.h"
#include "shared/c_arguments.h"
#include "shared/call_frame.h"
#include "shared/staged_output.h"

namespace couloir::vandrule {
namespace {

bool bCreation_disquette(const char* strNumProfil, bool bIsSelection, const char* strNumCompet,
                         const char* strBasePath, const char* strRepTravail, const char* strFiletrace_P,
                         const couloir_form* objFormCible) {
    CallFrame call{.tracePath = text(strFiletrace_P),
                   .database = text(strBasePath),
                   .form = objFormCible,
                   .openingLine = "Début de la création de fichier : ",
                   // Null columns read as empty texts here.
                   .connection = ConnectionOptions{.nullText = NullText::Empty},
                   .outputFolder = outputFolderOf(text(strRepTravail)),
                   .connectionFailure = "Erreur lors de la connexion à la base.",
                   .disconnectionFailure = "Erreur lors de la déconnexion de la base.",
                   .closing = ClosingLine{.text = "Fin de la création de fichier : ", .emptyLineAfter = true}};
    return runCall(call, [&](Session& session) {
        CreationState state(session, text(strNumProfil), bIsSelection, text(strNumCompet), text(strRepTravail));
        return bEnchainerCreation(state);
    });
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
