// The command line speaks French like the rest of Couloir: the help's labels
// and the usage errors.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace couloir::host {

// French labels and help flags for the application and its subcommands;
// call once every subcommand is added.
void useFrench(CLI::App& app);

// A usage error in French, naming what was wrong (the unknown command or
// option, the value refused) and the command whose help to read.
std::string frenchUsageError(const CLI::ParseError& error, const CLI::App& app, const std::vector<std::string>& arguments);

// The check of an option that takes a row number (a competition, a profile):
// a whole number, as the database numbers its rows.
CLI::Validator rowNumber();

}  // namespace couloir::host
