#include "shared/call_frame.h"

#include <optional>

#include "shared/clock.h"
#include "shared/files.h"
#include "shared/staged_output.h"

namespace couloir {
namespace {

// A failure's wording, followed by the error's text when it names it.
std::string failureText(const std::string& wording, bool namesError, const std::string& error) {
    return namesError ? wording + std::string(CRLF) + error : wording;
}

// Everything the sequence needs first; false, reported, when the call stops here.
bool prepare(const CallFrame& call, Trace& trace, Connection& connection) {
    if (call.checkArguments && !call.checkArguments(trace)) return false;
    if (!call.sourceDir.empty() && !bLecteurPret(call.sourceDir)) {
        trace.error("Le lecteur source n'est pas pret." + std::string(CRLF) + "Import annulé.");
        return false;
    }
    std::string error;
    if (!connection.bConnexion(call.database, error)) {
        trace.error(failureText(call.connectionFailure, call.connectionFailureNamesError, error));
        return false;
    }
    return true;
}

// One step of a writing call's output; false after writing `wording`, the
// error and "Opération annulée." to the trace.
template <typename Step>
bool outputStep(Trace& trace, const std::string& wording, Step step) {
    try {
        step();
        return true;
    } catch (...) {
        trace.error(wording + std::string(CRLF) + strTexteErreur(caughtError()) + std::string(CRLF) +
                    "Opération annulée.");
        return false;
    }
}

// The staging folder of a writing call, once the deliveries that a killed
// call left unfinished there are completed.
bool prepareOutput(const CallFrame& call, Trace& trace, std::optional<StagedOutput>& output) {
    if (call.outputFolder.empty()) return true;
    return outputStep(trace, "Les fichiers ne peuvent pas être écrits dans le dossier " + call.outputFolder + ".", [&] {
        recoverAbandonedOutput(call.outputFolder);
        output.emplace(call.outputFolder);
    });
}

void writeClosingLine(Trace& trace, const ClosingLine& closing) {
    for (int i = 0; i < closing.emptyLinesBefore; ++i) trace.writeEmpty();
    std::string line = closing.text + generalForm(now());
    if (closing.emptyLineAfter) line += CRLF;
    trace.writeClosingLine(line);
}

}  // namespace

bool runCall(const CallFrame& call, const std::function<bool(Session&)>& sequence) {
    Form form(call.form);
    Trace trace(call.tracePath);
    if (!trace.isOpen()) return false;
    trace.reportTo(form);
    trace.write(call.openingLine + generalForm(now()) + std::string(CRLF));

    if (form.dryRun()) trace.markDryRun();
    Connection connection(call.connection, &form);
    Session session{trace, form, connection};
    std::optional<StagedOutput> output;
    bool result = false;
    try {
        if (prepare(call, trace, connection) && prepareOutput(call, trace, output)) {
            session.output = output ? &*output : nullptr;
            result = sequence(session);
        }
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
    // Closing a connection that was never opened does nothing. A call whose
    // commit failed kept nothing: it failed.
    std::string error;
    if (!connection.bDeconnexion(error)) {
        trace.error(failureText(call.disconnectionFailure, call.disconnectionFailureNamesError, error));
        result = false;
    }
    if (result && output)
        result = outputStep(trace, "Les fichiers n'ont pas pu être mis en place dans le dossier " + call.outputFolder + ".",
                            [&] { output->deliver(); });
    output.reset();
    if (call.closing) writeClosingLine(trace, *call.closing);
    trace.finishDryRun();
    return result;
}

}  // namespace couloir
