// The subcommands of couloir: each adds itself and its options to the
// application and, when chosen, runs and leaves its exit status in `status`.
#pragma once

#include <CLI/CLI.hpp>

namespace couloir::host {

void setupInitDb(CLI::App& app, int& status);
void setupCopyDb(CLI::App& app, int& status);
// One command per operation of the table (operation_table.h).
void setupOperations(CLI::App& app, int& status);
void setupProfiles(CLI::App& app, int& status);
void setupDuplicates(CLI::App& app, int& status);
void setupServe(CLI::App& app, int& status);

}  // namespace couloir::host
