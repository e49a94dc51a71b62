// What every file step shares: the trace lines of success and failure.
#pragma once

#include <optional>
#include <string_view>

#include "shared/error.h"
#include "shared/trace.h"

namespace couloir::vandrule {

// "Création du fichier " + name + ".txt réussie."
void EcrireFichierCree(Trace& trace, std::string_view name);
// "Erreur lors de la création du fichier " + name + ".txt"
void EcrireErreurFichier(Trace& trace, std::string_view name);

// The failure report of a file step: EcrireErreurFichier, then the error
// text as one line, followed by ". " and `statement` when one is given.
void reportFileFailure(Trace& trace, std::string_view name, const Error& error,
                       std::optional<std::string_view> statement = std::nullopt);

}  // namespace couloir::vandrule
