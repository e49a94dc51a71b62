#include "competition_files/step_support.h"

#include <string>

namespace couloir::vandrule {

void EcrireFichierCree(Trace& trace, std::string_view name) {
    trace.write("Création du fichier " + std::string(name) + ".txt réussie.");
}

void EcrireErreurFichier(Trace& trace, std::string_view name) {
    trace.error("Erreur lors de la création du fichier " + std::string(name) + ".txt");
}

void reportFileFailure(Trace& trace, std::string_view name, const Error& error,
                       std::optional<std::string_view> statement) {
    EcrireErreurFichier(trace, name);
    std::string line = strTexteErreur(error);
    if (statement) line += ". " + std::string(*statement);
    trace.write(line);
}

}  // namespace couloir::vandrule
