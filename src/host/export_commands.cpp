// The writing commands: a competition's entry files, the performance history.
#include <iostream>
#include <memory>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"

namespace couloir::host {
namespace {

struct WriteOptions {
    CommonOptions common;
    OperationArguments arguments;
};

std::shared_ptr<WriteOptions> addWriteOptions(CLI::App& command) {
    auto options = std::make_shared<WriteOptions>();
    command.add_option("DB", options->arguments.database, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    command.add_option("OUT_DIR", options->arguments.folder, "Dossier qui reçoit les fichiers")->required();
    return options;
}

// A trace, a report and files that clobber nothing and an owner-only output
// folder; otherwise the status says why the command stops.
void runWrite(OperationKind kind, WriteOptions& options, int& status) {
    OperationArguments& a = options.arguments;
    a.trace = options.common.trace;
    if (!outputsAreAllowed(options.common, a.database, {a.folder}) ||
        !folderFilesAreAllowed(a.folder, interchangeFiles(kind), a.database, "OUT_DIR")) {
        status = kUsage;
        return;
    }
    if (!prepareOutputFolder(a.folder)) {
        status = kFailure;
        return;
    }
    status = runCommand(kind, a, options.common);
}

}  // namespace

void setupCreateFiles(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("create-files", "Crée les fichiers d'engagement d'une compétition");
    auto options = addWriteOptions(*command);
    command->add_option("--competition", options->arguments.competition,
                        "Numéro de la compétition dans la base (Rcomp.AutoNum)")
        ->required()
        ->type_name("N")
        ->check(rowNumber());
    command->add_option("--profile", options->arguments.profile, "Numéro du profil qui engage : le club ou la sélection dont les engagements sont écrits (liste : couloir profiles DB)")
        ->required()
        ->type_name("N")
        ->check(rowNumber());
    command->add_flag("--selection", options->arguments.selection, "Le profil est celui d'une sélection");
    addCommonOptions(*command, options->common);
    command->callback([options, &status] { runWrite(OperationKind::CreateFiles, *options, status); });
}

void setupExportPerf(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("export-perf", "Exporte l'historique des performances");
    auto options = addWriteOptions(*command);
    auto* club = command->add_option("--club", options->arguments.club, "Code fédéral du club ou de la sélection");
    command->add_flag("--selection", options->arguments.selection, "Le code est celui d'une sélection")->needs(club);
    auto* all = command->add_flag("--all", options->arguments.all, "Exporte tous les clubs");
    club->excludes(all);
    addCommonOptions(*command, options->common);
    command->callback([options, &status] {
        if (options->arguments.club.empty() && !options->arguments.all) {
            std::cerr << "couloir export-perf : --club CODE ou --all est obligatoire\n";
            status = kUsage;
            return;
        }
        runWrite(OperationKind::ExportPerf, *options, status);
    });
}

}  // namespace couloir::host
