#include "run_support.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <random>

#include "shared/components.h"
#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/files.h"

namespace fs = std::filesystem;

namespace couloir::host {

void addCommonOptions(CLI::App& command, CommonOptions& options) {
    command.add_option("--trace", options.trace, "Trace file (default: trace.txt in the current folder)");
    command.add_flag("--quiet", options.quiet, "Do not print the trace at the end");
}

void addTemporaryOption(CLI::App& command, std::string& folder) {
    command.add_option("--temp", folder, "Folder for the working copies (default: a fresh temporary folder)");
}

std::string prepareFolder(const std::string& given) {
    fs::path folder = given;
    if (folder.empty()) {
        std::random_device random;
        folder = fs::temp_directory_path() / ("couloir-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder.string();
}

void* findEntryPoint(const std::string& progId, const std::string& method) {
    try {
        return resolveMethod(progId, method);
    } catch (const Error& e) {
        std::cerr << "couloir: " << e.description() << " (composant introuvable dans :";
        for (const auto& folder : componentFolders()) std::cerr << " " << folder;
        std::cerr << ")\n";
        return nullptr;
    }
}

int finish(bool result, const CommonOptions& options) {
    if (!options.quiet) {
        if (fileExists(options.trace)) {
            LineReader reader(options.trace);
            std::string line;
            while (reader.next(line, false)) std::cout << line << '\n';
        } else {
            std::cerr << "couloir: la trace " << options.trace << " n'a pas pu être écrite\n";
        }
    }
    return result ? kSuccess : kFailure;
}

void reportHostFailure(const std::string& failure) {
    std::cerr << "couloir : la compétition n'a pas pu être créée dans la base ; rien n'a été importé (" << failure
              << ")\n";
}

ConsoleForm makeForm(const CommonOptions& options) { return ConsoleForm(!options.quiet && ::isatty(STDERR_FILENO)); }

}  // namespace couloir::host
