#include "operations.h"

#include <utility>

#include "competition_row.h"
#include "host_form.h"
#include "operation_table.h"
#include "run_support.h"
#include "swimmer_merge.h"
#include "shared/components.h"
#include "shared/error.h"

namespace couloir::host {
namespace {

// The entry point of the operation's component method.
template <typename Entry>
Entry entry(OperationKind kind) {
    const OperationInfo& operation = operationInfo(kind);
    try {
        return reinterpret_cast<Entry>(resolveMethod(operation.progId, operation.method));
    } catch (const Error& e) {
        std::string folders;
        for (const auto& folder : componentFolders()) folders += " " + folder;
        throw HostError(e.description() + " (composant introuvable dans :" + folders + ")");
    }
}

const char* c(const std::string& text) { return text.c_str(); }

// A working folder for the copies; its failure is the host's.
template <typename Call>
bool withWorkingFolder(const std::string& given, Call call) {
    std::optional<WorkingFolder> temp;
    try {
        temp.emplace(given);
    } catch (const std::exception& e) {
        throw HostError(e.what());
    }
    return call(temp->path());
}

}  // namespace

Preparation prepareOperation(OperationKind kind, const OperationArguments& a) {
    Preparation preparation;
    if (kind == OperationKind::ImportResults) {
        CompetitionState state = competitionState(a.database, a.competition);
        if (state == CompetitionState::Missing && !a.newCompetition)
            preparation.refusal = "la compétition " + a.competition +
                                  " n'existe pas dans la base (--new pour une nouvelle compétition)";
        else if (state == CompetitionState::Imported && a.newCompetition)
            preparation.refusal = "la compétition " + a.competition +
                                  " contient déjà un import ; importez-la de nouveau sans --new pour le remplacer";
        else if (state == CompetitionState::Missing)
            preparation.hostStatements.push_back(competitionRowStatement(a.competition));
    } else if (kind == OperationKind::ImportSkeleton) {
        // A skeleton may start a competition: its row is created with it.
        if (competitionState(a.database, a.competition) == CompetitionState::Missing)
            preparation.hostStatements.push_back(competitionRowStatement(a.competition));
    }
    return preparation;
}

bool callOperation(OperationKind kind, const OperationArguments& a, const couloir_form* form) {
    switch (kind) {
        case OperationKind::ImportResults: {
            auto call = entry<couloir_bimport_result_fn>(kind);
            return withWorkingFolder(a.temp, [&](const std::string& temp) {
                return call(c(a.database), c(a.folder), c(temp), c(a.trace), form, c(a.competition), a.newCompetition);
            });
        }
        case OperationKind::ImportSkeleton: {
            auto call = entry<couloir_bimport_squelette_fn>(kind);
            return withWorkingFolder(a.temp, [&](const std::string& temp) {
                return call(c(a.database), c(a.folder), c(temp), c(a.trace), form, c(a.competition));
            });
        }
        case OperationKind::ImportLicences: {
            auto call = entry<couloir_bImport_Licence_fn>(kind);
            return withWorkingFolder(a.temp, [&](const std::string& temp) {
                return call(c(a.database), c(a.folder), c(temp), c(a.trace), form);
            });
        }
        case OperationKind::UpdateCodes: {
            auto call = entry<couloir_bImport_CodeIUF_fn>(kind);
            return call(c(a.folder), c(a.database), c(a.trace), form, !a.ownClub.empty(), c(a.ownClub));
        }
        case OperationKind::ImportPerf: {
            auto call = entry<couloir_bimport_perf_fn>(kind);
            return withWorkingFolder(a.temp, [&](const std::string& temp) {
                return call(c(a.database), c(a.folder), c(temp), c(a.trace), form);
            });
        }
        case OperationKind::CreateFiles: {
            auto call = entry<couloir_bCreation_disquette_fn>(kind);
            return call(c(a.profile), a.selection, c(a.competition), c(a.database), c(a.folder), c(a.trace), form);
        }
        case OperationKind::ExportPerf: {
            auto call = entry<couloir_bPlessaudormance_fn>(kind);
            return call(c(a.database), c(a.club), a.selection, a.all, c(a.folder), c(a.trace), form);
        }
        case OperationKind::MergeSwimmers: return mergeSwimmers(a.database, a.keep, a.merged, a.trace, form);
    }
    return false;
}

OperationOutcome runOperation(OperationKind kind, const OperationArguments& arguments, Preparation preparation,
                              bool dryRun, HostForm& form) {
    form.runInCallTransaction(std::move(preparation.hostStatements));
    form.setDryRun(dryRun);
    OperationOutcome outcome;
    try {
        outcome.result = callOperation(kind, arguments, form.form());
    } catch (const HostError& e) {  // the component is missing, or the working folder cannot be made
        outcome.hostError = e.what();
        return outcome;
    } catch (...) {
        outcome.hostError = caughtError().description();
        return outcome;
    }
    if (!form.hostFailure().empty())
        outcome.hostError =
            "la compétition n'a pas pu être créée dans la base ; rien n'a été importé (" + form.hostFailure() + ")";
    return outcome;
}

}  // namespace couloir::host
