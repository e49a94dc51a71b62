#include "shared/import_call.h"

#include "shared/clock.h"
#include "shared/files.h"

namespace couloir {
namespace {

// Everything the sequence needs first; false, reported, when the call stops here.
bool prepare(const ImportCall& call, Trace& trace, Connection& connection) {
    if (call.checkArguments && !call.checkArguments(trace)) return false;
    if (!bLecteurPret(call.sourceDir)) {
        trace.error("Le lecteur source n'est pas pret." + std::string(CRLF) + "Import annulé.");
        return false;
    }
    std::string error;
    if (!connection.bConnexion(call.database, error)) {
        trace.error(call.connectionFailure + std::string(CRLF) + error);
        return false;
    }
    return true;
}

}  // namespace

bool runImportCall(const ImportCall& call, const std::function<bool(Session&)>& sequence) {
    Form form(call.form);
    Trace trace(call.tracePath);
    if (!trace.isOpen()) return false;
    trace.reportTo(form);
    trace.write("Début de l'import : " + generalForm(now()) + std::string(CRLF));

    if (form.dryRun()) trace.markDryRun();
    Connection connection(ConnectionOptions{}, &form);
    Session session{trace, form, connection};
    bool result = false;
    try {
        if (prepare(call, trace, connection)) result = sequence(session);
    } catch (...) {
        // An error that escaped the sequence: the call did not end normally
        // and leaves nothing behind.
        trace.error(strTexteErreur(caughtError()));
        result = false;
        try {
            if (connection.isOpen()) connection.discardCall();
        } catch (...) {
            trace.error(strTexteErreur(caughtError()));
        }
    }
    // Closing a connection that was never opened, or that the sequence
    // already closed, does nothing.
    std::string error;
    if (!connection.bDeconnexion(error))
        trace.EcrireErreur("Une erreur s'est produite lors de la déconnexion." + std::string(CRLF) + error, 0);
    if (call.writesClosingLines) {
        trace.writeEmpty();
        trace.writeEmpty();
        trace.writeClosingLine("Fin importation : " + generalForm(now()));
    }
    trace.finishDryRun();
    return result;
}

}  // namespace couloir
