#include "command_line.h"

#include <iostream>

#include "commands.h"
#include "french_cli.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {
namespace {

// The settings read from the environment, checked before any command runs:
// a wrong one is a usage error naming it rather than a default in its place.
void checkEnvironment() {
    try {
        busyTimeoutSeconds();
    } catch (const Error& e) {
        std::cerr << "couloir : " << e.description() << "\n";
        throw CLI::RuntimeError(kUsage);
    }
}

}  // namespace

void buildCommandLine(CLI::App& app, int& status) {
    app.require_subcommand(1);
    app.set_version_flag("--version", COULOIR_VERSION, "Affiche la version de Couloir");
    app.parse_complete_callback(checkEnvironment);
    for (auto setup : {setupInitDb, setupCopyDb, setupOperations, setupProfiles, setupDuplicates, setupServe})
        setup(app, status);
    useFrench(app);
}

}  // namespace couloir::host
