#include "licence_import/public_call.h"

#include "shared/clock.h"
#include "shared/files.h"
#include "shared/text_date.h"

namespace couloir::korvenna {

std::string text(const char* value) { return value ? value : ""; }

bool runPublicCall(const PublicCall& call, const std::function<bool(Session&)>& sequence) {
    Trace trace(call.tracePath);
    if (!trace.isOpen()) return false;
    trace.write("Début de l'import : " + generalForm(now()) + std::string(CRLF));

    if (!bLecteurPret(call.sourceDir)) {
        trace.write("Le lecteur source n'est pas pret.");
        trace.write("Import annulé.");
        return false;
    }

    Form form(call.form);
    Connexion connexion;
    Session session{trace, form, connexion};
    std::string error;
    if (!connexion.bConnexion(call.database, error)) {
        trace.write(call.connectionFailure + std::string(CRLF) + error);
        return false;
    }

    bool result = false;
    try {
        result = sequence(session);
    } catch (const Error& e) {
        trace.write(strTexteErreur(e));
    }
    if (!connexion.bDeconnexion(error))
        trace.EcrireErreur("Une erreur s'est produite lors de la déconnexion." + std::string(CRLF) + error, 0);
    return result;
}

}  // namespace couloir::korvenna
