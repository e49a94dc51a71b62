#include "perf_import/sequence.h"

#include <optional>
#include <string>

#include "perf_import/perf_file.h"
#include "perf_import/reference_competition.h"
#include "shared/club_import.h"
#include "shared/error.h"
#include "shared/file_step.h"
#include "shared/files.h"
#include "shared/licence_import.h"

namespace couloir::tessimor {
namespace {

// Attaches the staging rows to the competition.
void attachPerformances(Database& db, std::int32_t competition) {
    for (const char* table : {"Liffn", "Liffn_relais"})
        db.execute(Statement::update("UPDATE", table)
                       .sql(" set Num_compet = ")
                       .number(competition)
                       .sql(" where Num_compet = ")
                       .number(kStagingCompetition));
}

// Deletes the staging rows and, when the competition was already created,
// the competition with whatever was attached to it.
void erasePerformances(PerfRun& run, std::optional<std::int32_t> competition) {
    Database& db = run.db();
    run.trace().write("Efface toutes les données déjà importées.");
    for (const char* table : {"Liffn", "Liffn_relais"})
        db.execute(Statement::remove("Delete from", table).sql(" where Num_compet = ").number(kStagingCompetition));
    if (!competition) return;
    for (const char* table : {"Liffn", "Liffn_relais"})
        db.execute(Statement::remove("Delete from", table).sql(" where Num_compet = ").number(*competition));
    db.execute(Statement::remove("Delete from", "Rcomp").sql(" where AutoNum = ").number(*competition));
}

}  // namespace

void ChargerNagesValides(PerfRun& run) {
    run.tabNagesValides.fill(false);
    run.db().forEachRow(Statement("select Code_Nage from Nage"), [&](const Row& row) {
        if (row.isNull(0)) return true;
        // A code the two characters of a line cannot carry is never valid.
        std::int64_t code = roundHalfEven(numericValue(row.text(0)));
        if (code >= 0 && code < kStrokeCodeCount) run.tabNagesValides[static_cast<std::size_t>(code)] = true;
        return true;
    });
}

bool bEnchainerImportPerfs(PerfRun& run) {
    Trace& trace = run.trace();
    LireOrigine(trace, run.files.origine);

    if (auto increment = announceFileStep(run.session, "Fichier club.txt",
                                          "Vérification des clubs depuis fichier Club.txt", run.files.club, 43))
        if (!ImporterClubs(run.session, run.lists, run.files.club, *increment, kClubsForPerformances))
            trace.setStepOutcome(StepOutcome::Failed);
    if (auto increment = announceFileStep(run.session, "Fichier licence.txt",
                                          "Traitement des licences depuis fichier Licence.txt", run.files.licence, 248))
        if (!ImporterLicences(run.session, run.lists, run.files.licence, *increment, kLicencesForPerformances,
                              std::nullopt))
            trace.setStepOutcome(StepOutcome::Failed);

    auto increment =
        announceFileStep(run.session, "Fichier Liffn.txt", "Traitement des performances depuis fichier Liffn.txt",
                         run.files.liffn, kMinimumRecordLength);
    if (!increment) return true;

    std::optional<std::int32_t> competition;
    try {
        if (bImporterPerfs(run, *increment)) {
            trace.writeEmpty();
            competition = iCreerCompetitionReference(run.db(), trace);
            if (competition) {
                attachPerformances(run.db(), *competition);
                return true;
            }
        }
    } catch (...) {
        Error e = caughtError();
        trace.error(strTexteErreur(e));
    }
    trace.setStepOutcome(StepOutcome::Cancelled);
    erasePerformances(run, competition);
    return false;
}

}  // namespace couloir::tessimor
