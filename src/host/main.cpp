// couloir: the command-line host of the Couloir components.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "french_cli.h"
#include "run_support.h"
#include "shared/platform.h"

int main(int argc, char** argv) {
    using namespace couloir::host;
    couloir::platform::prepareConsole();
    std::vector<std::string> arguments = couloir::platform::programArguments(argc, argv);
    std::vector<char*> utf8Arguments;
    for (std::string& argument : arguments) utf8Arguments.push_back(argument.data());
    argc = static_cast<int>(utf8Arguments.size());
    argv = utf8Arguments.data();
    // Working folders of commands that were killed hold copies of personal data: any command clears them.
    removeAbandonedWorkingFolders();
    CLI::App app{kProgramDescription};
    int status = kUsage;
    buildCommandLine(app, status);
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
