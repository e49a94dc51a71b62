// The frame around the sequence of every public method: the trace and its
// opening line, the checks made before connecting, the connection to the
// club database and its close, the closing line. What differs between the
// libraries (wording, the checks that apply, the connection's options) is
// data of the call.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "couloir/couloir.h"
#include "shared/session.h"
#include "shared/text_date.h"

namespace couloir {

// The connection-failure wording of the licence import, which the results
// and performance imports write too.
inline const std::string kLicenceConnectionFailure =
    "Erreur de connexion dans dll d'import des licences." + std::string(CRLF) + "Import annulé.";

// The last line of a trace: `emptyLinesBefore` empty lines, `text` followed
// by the date and time, and an empty line after it when asked.
struct ClosingLine {
    std::string text;
    int emptyLinesBefore = 0;
    bool emptyLineAfter = false;
};

struct CallFrame {
    std::string tracePath, database;
    const couloir_form* form = nullptr;
    // The first line of the trace, followed by the date and an empty line.
    std::string openingLine = "Début de l'import : ";
    ConnectionOptions connection = {};
    // A check of the call's own arguments, made first; it writes its own
    // message and, when false, cancels the call.
    std::function<bool(Trace&)> checkArguments = {};
    // The folder the call reads, whose drive is checked before connecting;
    // empty for a call that reads none.
    std::string sourceDir = {};
    // The folder a writing call delivers its files into, once it succeeds
    // (StagedOutput); empty for a call that writes none.
    std::string outputFolder = {};
    // Written when the database cannot be opened, above the error text
    // unless the wording leaves it out.
    std::string connectionFailure = {};
    bool connectionFailureNamesError = true;
    // Written when the database cannot be closed, likewise.
    std::string disconnectionFailure = "Une erreur s'est produite lors de la déconnexion.";
    bool disconnectionFailureNamesError = true;
    // Written whatever the outcome, once the connection is closed.
    std::optional<ClosingLine> closing = std::nullopt;
};

// Opens the trace, checks the arguments and the source drive, connects,
// runs `sequence`, disconnects (committing the call), delivers a writing
// call's files and writes the closing line. True when the sequence returned
// true, the call was committed and its files delivered;
// false when the frame stopped before the sequence, when the trace cannot be
// created, or when an error escaped the sequence (its text is then written
// to the trace and the call undone).
bool runCall(const CallFrame& call, const std::function<bool(Session&)>& sequence);

}  // namespace couloir
