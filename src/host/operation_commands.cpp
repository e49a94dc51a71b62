// The commands of the operation table: one subcommand per operation, its
// arguments and options from the table's fields, its checks, its run.
#include <iostream>
#include <memory>

#include "commands.h"
#include "french_cli.h"
#include "operation_table.h"
#include "run_support.h"

namespace couloir::host {
namespace {

struct CommandOptions {
    CommonOptions common;
    OperationArguments arguments;
    bool dryRun = false;
};

void addField(CLI::App& command, const OperationField& field, OperationArguments& arguments) {
    if (field.isFlag()) {
        command.add_flag(field.option, arguments.*field.flag, field.help);
        return;
    }
    CLI::Option* option = command.add_option(field.option, arguments.*field.text, field.help);
    if (field.required) option->required();
    if (field.isNumber()) option->check(rowNumber());
    option->type_name(field.isNumber() ? "N" : "CODE");
}

// The checks every run makes before the call: values that go together, a
// trace, a report and files that clobber nothing (neither the database nor
// the files read), an owner-only output folder. The exit status, once run.
int runOperationCommand(const OperationInfo& operation, CommandOptions& options) {
    OperationArguments& a = options.arguments;
    a.trace = options.common.trace;
    if (std::string problem = argumentsProblem(operation, a); !problem.empty()) {
        std::cerr << "couloir " << operation.name << " : " << problem << "\n";
        return kUsage;
    }
    std::vector<std::string> files(operation.files);
    switch (operation.folder) {
        case OperationInfo::Folder::Reads:
            if (!outputsAreAllowed(options.common, a.database, {a.folder, a.temp}) ||
                !temporaryFolderIsAllowed(a.temp, a.folder) ||
                (!a.temp.empty() && !folderFilesAreAllowed(a.temp, files, a.database, "--temp")))
                return kUsage;
            break;
        case OperationInfo::Folder::Writes:
            if (!outputsAreAllowed(options.common, a.database, {a.folder}) ||
                !folderFilesAreAllowed(a.folder, files, a.database, "OUT_DIR"))
                return kUsage;
            if (!prepareOutputFolder(a.folder)) return kFailure;
            break;
        case OperationInfo::Folder::None:
            if (!outputsAreAllowed(options.common, a.database, {})) return kUsage;
            break;
    }
    return runCommand(operation.kind, a, options.common, options.dryRun);
}

void setupOperation(CLI::App& app, const OperationInfo& operation, int& status) {
    auto* command = app.add_subcommand(operation.name, operation.summary);
    auto options = std::make_shared<CommandOptions>();
    OperationArguments& a = options->arguments;
    command->add_option("DB", a.database, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    if (operation.folder == OperationInfo::Folder::Reads)
        command->add_option("SOURCE_DIR", a.folder, "Dossier qui contient les fichiers d'échange")->required();
    else if (operation.folder == OperationInfo::Folder::Writes)
        command->add_option("OUT_DIR", a.folder, "Dossier qui reçoit les fichiers")->required();
    for (const OperationField& field : operation.fields)
        if (field.positional()) addField(*command, field, a);
    for (const OperationField& field : operation.fields)
        if (!field.positional()) addField(*command, field, a);
    if (operation.workingCopies) addTemporaryOption(*command, a.temp);
    if (operation.dryRun)
        command->add_flag("--dry-run", options->dryRun,
                          "Simulation : tout est vérifié et compté comme pour de vrai, rien n'est enregistré");
    addCommonOptions(*command, options->common);
    command->callback([&operation, options, &status] { status = runOperationCommand(operation, *options); });
}

}  // namespace

void setupOperations(CLI::App& app, int& status) {
    for (const OperationInfo& operation : operationTable()) setupOperation(app, operation, status);
}

}  // namespace couloir::host
