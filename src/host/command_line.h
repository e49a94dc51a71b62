// The couloir command line: its commands, their options and their French
// help, as the program parses them and as its manual page shows them.
#pragma once

#include <CLI/CLI.hpp>

namespace couloir::host {

inline constexpr const char* kProgramDescription =
    "Couloir : échanges entre la base du club et les fichiers de la fédération";

// Adds every command to `app`; the chosen one leaves its exit status in `status`.
void buildCommandLine(CLI::App& app, int& status);

}  // namespace couloir::host
