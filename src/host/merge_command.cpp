// couloir merge-swimmers DB KEEP MERGED: the swimmer stored under two rows
// made one (swimmer_merge.h), as a call with its trace, report and dry run.
#include <iostream>
#include <memory>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"

namespace couloir::host {

void setupMergeSwimmers(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "merge-swimmers", "Fusionne deux lignes d'un même nageur : tout ce qui nomme le second passe au premier");
    struct Options {
        CommonOptions common;
        OperationArguments arguments;
        bool dryRun = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DB", options->arguments.database, "Base de données du club : fichier SQLite ou URI postgresql://")
        ->required();
    command->add_option("KEEP", options->arguments.keep, "Numéro du nageur gardé (Licence.Num, tel que duplicates l'affiche)")
        ->required()
        ->check(rowNumber());
    command->add_option("MERGED", options->arguments.merged, "Numéro du nageur fusionné puis supprimé (Licence.Num)")
        ->required()
        ->check(rowNumber());
    command->add_flag("--dry-run", options->dryRun,
                      "Simulation : tout est vérifié et compté comme pour de vrai, rien n'est enregistré");
    addCommonOptions(*command, options->common);
    command->callback([options, &status] {
        OperationArguments& a = options->arguments;
        a.trace = options->common.trace;
        auto number = [](const std::string& digits) { return digits.empty() ? -1 : std::stoll(digits); };
        if (number(a.keep) == number(a.merged)) {
            std::cerr << "couloir : le nageur gardé et le nageur fusionné sont le même (n° " << a.keep << ")\n";
            status = kUsage;
            return;
        }
        if (!outputsAreAllowed(options->common, a.database, {})) {
            status = kUsage;
            return;
        }
        status = runCommand(OperationKind::MergeSwimmers, a, options->common, options->dryRun);
    });
}

}  // namespace couloir::host
