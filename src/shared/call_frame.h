// The frame around the sequence of each public method of the importing
// libraries: the trace and its opening line, the source drive check, the
// connection to the club database and its proper close.
#pragma once

#include <functional>
#include <string>

#include "couloir/couloir.h"
#include "shared/session.h"
#include "shared/text_date.h"

namespace couloir {

// The connection-failure wording of the licence import, which the results
// and performance imports write too.
inline const std::string kLicenceConnectionFailure =
    "Erreur de connexion dans dll d'import des licences." + std::string(CRLF) + "Import annulé.";

struct ImportCall {
    std::string tracePath, database, sourceDir;
    const couloir_form* form = nullptr;
    // Written above the error text when the database cannot be opened.
    std::string connectionFailure;
    // Ends the trace with two empty lines and "Fin importation : " + date,
    // whatever the outcome.
    bool writesClosingLines = false;
    // A check of the call's own arguments, made before the drive check; it
    // writes its own message and, when false, cancels the call.
    std::function<bool(Trace&)> checkArguments = {};
};

// Opens the trace, checks the arguments and the source drive, connects,
// runs `sequence`, disconnects and closes the trace. The result is the
// sequence's; false when the frame stopped before it, when the trace cannot
// be created, or when an error escaped the sequence (its text is then
// written to the trace).
bool runImportCall(const ImportCall& call, const std::function<bool(Session&)>& sequence);

}  // namespace couloir
