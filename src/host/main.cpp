// couloir: the command-line host of the Couloir components.
#include <CLI/CLI.hpp>

#include <iostream>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace {

// The settings read from the environment, checked before any command runs:
// a wrong one is a usage error naming it rather than a default in its place.
void checkEnvironment() {
    try {
        couloir::busyTimeoutSeconds();
    } catch (const couloir::Error& e) {
        std::cerr << "couloir : " << e.description() << "\n";
        throw CLI::RuntimeError(couloir::host::kUsage);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace couloir::host;
    // Working folders of commands that were killed hold copies of personal data: any command clears them.
    removeAbandonedWorkingFolders();
    CLI::App app{"Couloir : échanges entre la base du club et les fichiers de la fédération"};
    app.require_subcommand(1);
    app.set_version_flag("--version", COULOIR_VERSION, "Affiche la version de Couloir");
    app.parse_complete_callback(checkEnvironment);
    int status = kUsage;
    for (auto setup : {setupInitDb, setupCopyDb, setupImportResults, setupImportSkeleton, setupImportLicences, setupUpdateCodes,
                       setupImportPerf, setupCreateFiles, setupExportPerf, setupProfiles, setupServe})
        setup(app, status);
    useFrench(app);
    rememberArguments(argc, argv);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help, --version
        return app.exit(e);
    } catch (const CLI::RuntimeError& e) {
        return e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        std::cerr << frenchUsageError(e, app, std::vector<std::string>(argv + 1, argv + argc)) << "\n";
        return kUsage;
    }
    return status;
}
