// The importing commands: results, skeleton, licences, unique codes, performances.
#include <memory>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"

namespace couloir::host {
namespace {

// What every importing command takes: the database, the source folder and where the copies go.
struct ImportOptions {
    CommonOptions common;
    OperationArguments arguments;
    bool dryRun = false;
};

std::shared_ptr<ImportOptions> addImportOptions(CLI::App& command, bool withTemporaryFolder) {
    auto options = std::make_shared<ImportOptions>();
    command.add_option("DB", options->arguments.database, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    command.add_option("SOURCE_DIR", options->arguments.folder, "Dossier qui contient les fichiers d'échange")
        ->required();
    if (withTemporaryFolder) addTemporaryOption(command, options->arguments.temp);
    command.add_flag("--dry-run", options->dryRun,
                     "Simulation : tout est vérifié et compté comme pour de vrai, rien n'est enregistré");
    addCommonOptions(command, options->common);
    return options;
}

void addCompetitionOption(CLI::App& command, ImportOptions& options) {
    command.add_option("--competition", options.arguments.competition, "Numéro de la compétition dans la base (Rcomp.AutoNum)")
        ->required()
        ->type_name("N")
        ->check(rowNumber());
}

// Runs the import once its trace, report and working copies are known not to
// clobber the database nor land among the files the command reads.
void runImport(OperationKind kind, ImportOptions& options, int& status) {
    OperationArguments& a = options.arguments;
    a.trace = options.common.trace;
    if (!outputsAreAllowed(options.common, a.database, {a.folder, a.temp}) ||
        !temporaryFolderIsAllowed(a.temp, a.folder) ||
        (!a.temp.empty() && !folderFilesAreAllowed(a.temp, interchangeFiles(kind), a.database, "--temp"))) {
        status = kUsage;
        return;
    }
    status = runCommand(kind, a, options.common, options.dryRun);
}

}  // namespace

void setupImportResults(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-results", "Importe les résultats d'une compétition");
    auto options = addImportOptions(*command, true);
    addCompetitionOption(*command, *options);
    command->add_flag("--new", options->arguments.newCompetition,
                      "Compétition nouvelle, sans import (sa ligne est créée au besoin)");
    command->callback([=, &status] { runImport(OperationKind::ImportResults, *options, status); });
}

void setupImportSkeleton(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-skeleton", "Importe l'en-tête et le programme d'une compétition");
    auto options = addImportOptions(*command, true);
    addCompetitionOption(*command, *options);
    command->callback([=, &status] { runImport(OperationKind::ImportSkeleton, *options, status); });
}

void setupImportLicences(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-licences", "Importe les listes de clubs et de licences de la fédération");
    auto options = addImportOptions(*command, true);
    command->callback([=, &status] { runImport(OperationKind::ImportLicences, *options, status); });
}

void setupUpdateCodes(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("update-codes", "Met à jour les codes uniques des nageurs");
    auto options = addImportOptions(*command, false);
    command->add_option("--own-club", options->arguments.ownClub,
                        "Ne met à jour que les nageurs de ce club (code fédéral)");
    command->callback([=, &status] { runImport(OperationKind::UpdateCodes, *options, status); });
}

void setupImportPerf(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-perf", "Importe un fichier de performances");
    auto options = addImportOptions(*command, true);
    command->callback([=, &status] { runImport(OperationKind::ImportPerf, *options, status); });
}

}  // namespace couloir::host
