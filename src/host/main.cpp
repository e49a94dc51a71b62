// couloir: the command-line host of the Couloir components.
#include <CLI/CLI.hpp>

#include <iostream>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"

int main(int argc, char** argv) {
    using namespace couloir::host;
    CLI::App app{"Couloir : échanges entre la base du club et les fichiers de la fédération"};
    app.require_subcommand(1);
    int status = kUsage;
    for (auto setup : {setupInitDb, setupCopyDb, setupImportResults, setupImportSkeleton, setupImportLicences, setupUpdateCodes,
                       setupImportPerf, setupCreateFiles, setupExportPerf, setupProfiles, setupServe})
        setup(app, status);
    useFrench(app);
    rememberArguments(argc, argv);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << frenchUsageError(e, app) << "\n";
        return kUsage;
    }
    return status;
}
