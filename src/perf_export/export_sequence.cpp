// The export sequence: count the performances, then write origine.txt and
// the individual and relay performances with their swimmers and clubs.
#include <memory>

#include "perf_export/export_queries.h"
#include "perf_export/steps.h"
#include "shared/interchange_file_names.h"
#include "shared/staged_output.h"
#include "shared/interchange_writer.h"
#include "shared/text_date.h"

namespace couloir::plessaud {

OutputPaths outputPaths(const StagedOutput& output) {
    using namespace file_names;
    return {output.path(kLicence), output.path(kClub), output.path(kOrigine), output.path(kLiffn)};
}

void writeOrigin(ExportRun& run) {
    try {
        run.trace().beginStep("Fichier origine.txt");
        run.trace().write("Création du fichier Origine.txt");
        InterchangeWriter origine(run.paths.origine, InterchangeWriter::Mode::Replace, &run.trace());
        origine.writeLine(kProducingApplication);
        origine.close();
    } catch (...) {
        Error e = caughtError();
        run.complete = false;
        run.trace().setStepOutcome(StepOutcome::Failed);
        run.trace().EcrireErreur("Une erreur s'est produite lors de la création du fichier Origine.txt", 0, &e);
    }
}

bool runExportSequence(ExportRun& run) {
    // What the sequence is doing, for the message of an error it does not handle itself.
    std::string operation = "du calcul du nombre de performances.";
    bool result = true;
    try {
        run.form().setValue("ProgressBar1", 0);
        auto performances = std::make_unique<IndividualPerformances>(run.db(), run.scope);
        std::int64_t individual = performances->lineCount(run.db(), run.scope);
        std::int32_t relay = run.db().lValeurScalaire(relayCountQuery(run.scope));
        std::int64_t total = individual + relay;
        if (total < 1) {
            run.trace().write("Aucune performance exportée.");
        } else {
            operation = "de la création du fichier origine.txt.";
            writeOrigin(run);
            run.trace().beginStep("Performances individuelles");
            run.trace().write("Traitement des performances individuelles");
            operation = "de l'export des performances individuelles.";
            run.increment = 100.0 / static_cast<double>(total);
            exportIndividualPerformances(run, *performances);
            performances.reset();
            run.trace().writeEmpty();
            operation = "de l'export des performances en relais.";
            run.trace().beginStep("Performances des relais");
            exportRelayPerformances(run, relay);
            run.trace().writeEmpty();
        }
    } catch (...) {
        Error e = caughtError();
        result = false;
        run.trace().setStepOutcome(StepOutcome::Cancelled);
        run.trace().EcrireErreur(
            "Une erreur s'est produite lors " + operation + std::string(CRLF) + "Opération annulée.", 0, &e);
    }
    run.trace().endStep();
    return result && run.complete;
}

}  // namespace couloir::plessaud
