#include "competition_files/sequence.h"

#include <string>

#include "competition_files/step_support.h"
#include "competition_files/steps.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {

struct CreationStep {
    const char* text;   // shown on the form
    bool traced;        // and written to the trace
    bool (*run)(CreationState&);
};

// The competition step keeps the number and start date that the programme,
// licence and entry steps write; the club step the profile's code that the
// later steps write; the licence step the selection numbers of the entries.
const CreationStep kSteps[] = {
    {"Création fichier origine.txt", true, bCreerOrigine},
    {"Création fichier rcomp.txt", true, bCreerRcomp},
    {"Création fichier pcomp.txt", true, bCreerPcomp},
    {"Création fichier nage.txt", true, bCreerNage},
    {"Création fichier club.txt", true, bCreerClub},
    {"Création fichier licence.txt", true, bCreerLicence},
    {"Création engagements individuels", false, bCreerEngag},
    {"Création engagements relais", false, bCreerRelais},
};

void AfficherMessageCreation(CreationState& state, const CreationStep& step) {
    Form& form = state.session.form;
    form.setCaption("Lb_message", 1, step.text);
    form.call("Cls");
    state.trace().beginStep(step.text);
    if (step.traced) state.trace().write(step.text);
}

}  // namespace

bool bEnchainerCreation(CreationState& state) {
    Trace& trace = state.trace();
    try {
        for (const CreationStep& step : kSteps) {
            AfficherMessageCreation(state, step);
            if (!step.run(state)) {
                trace.setStepOutcome(StepOutcome::Cancelled);
                trace.write("Opération annulée.");
                return false;
            }
            trace.writeEmpty();
        }
        return true;
    } catch (...) {
        trace.setStepOutcome(StepOutcome::Cancelled);
        trace.error("Une erreur s'est produite lors de la création des fichiers." + std::string(CRLF) +
                    strTexteErreur(caughtError()) + std::string(CRLF));
        trace.write("Opération annulée.");
        return false;
    }
}

}  // namespace couloir::vandrule
