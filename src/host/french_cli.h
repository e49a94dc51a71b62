// The command line speaks French like the rest of Couloir: the help's labels
// and the usage errors.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace couloir::host {

// French labels and help flags for the application and its subcommands;
// call once every subcommand is added.
void useFrench(CLI::App& app);

// A usage error in French, naming the command whose help to read.
std::string frenchUsageError(const CLI::ParseError& error, const CLI::App& app);

}  // namespace couloir::host
