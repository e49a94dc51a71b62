// The two public methods of the licence library: clsRecupLicence.bImport_Licence
// and clsMajIUF.bImport_CodeIUF.
#include <string>

#include "couloir/couloir.h"
#include "licence_import/code_update.h"
#include "licence_import/licence_sequence.h"
#include "shared/c_arguments.h"
#include "shared/text_date.h"

using couloir::CallFrame;
using couloir::text;

// Nothing may cross the C boundary: anything unforeseen is a false result.
extern "C" bool Korvenna_clsRecupLicence_bImport_Licence(const char* strFileBase_P, const char* strRepSource,
                                                         const char* strRepTempo, const char* strFileTrace_P,
                                                         const couloir_form* objFormCible) {
    try {
        CallFrame call{.tracePath = text(strFileTrace_P),
                       .database = text(strFileBase_P),
                       .form = objFormCible,
                       .sourceDir = text(strRepSource),
                       .connectionFailure = couloir::kLicenceConnectionFailure};
        return couloir::korvenna::bImport_Licence(call, text(strRepTempo));
    } catch (...) {
        return false;
    }
}

extern "C" bool Korvenna_clsMajIUF_bImport_CodeIUF(const char* strRepSource, const char* strFileBase_P,
                                                   const char* strFileTrace_P, const couloir_form* objFormCible,
                                                   bool bOnlyMonCLub, const char* strCodeMonClub) {
    try {
        CallFrame call{.tracePath = text(strFileTrace_P),
                       .database = text(strFileBase_P),
                       .form = objFormCible,
                       .sourceDir = text(strRepSource),
                       .connectionFailure = "Erreur de connexion dans dll de mise à jour des codes IUF." +
                                            std::string(couloir::CRLF) + "Mise à jour annulée."};
        return couloir::korvenna::bImport_CodeIUF(call, bOnlyMonCLub, text(strCodeMonClub));
    } catch (...) {
        return false;
    }
}
