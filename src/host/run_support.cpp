#include "run_support.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "shared/components.h"
#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/private_files.h"
#include "shared/text_date.h"

namespace fs = std::filesystem;

namespace couloir::host {

void addCommonOptions(CLI::App& command, CommonOptions& options) {
    command.add_option("--trace", options.trace, "Fichier de trace (par défaut : trace.txt dans le dossier courant)");
    command.add_flag("--quiet", options.quiet, "N'affiche pas la trace à la fin");
}

void addTemporaryOption(CLI::App& command, std::string& folder) {
    command.add_option("--temp", folder, "Dossier des copies de travail (par défaut : un dossier temporaire neuf, supprimé ensuite)");
}

WorkingFolder::WorkingFolder(const std::string& given) : path_(given) {
    if (!path_.empty()) {
        createPrivateFolders(path_);
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "couloir-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw Error(errno, "Création impossible du dossier temporaire " + pattern);
    path_ = pattern;
    fresh_ = true;
}

WorkingFolder::~WorkingFolder() {
    std::error_code ec;
    if (fresh_) fs::remove_all(path_, ec);
}

bool prepareOutputFolder(const std::string& folder) {
    try {
        createPrivateFolders(folder);
        return true;
    } catch (const Error& e) {
        std::cerr << "couloir : le dossier " << folder << " ne peut pas être créé : " << e.description() << "\n";
        return false;
    }
}

namespace {
// The path as the file system resolves it, for comparisons; as given when it cannot.
fs::path resolved(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? fs::path(path) : full;
}
}  // namespace

bool traceIsAllowed(const std::string& trace, const std::string& database, const std::vector<std::string>& folders) {
    fs::path file = resolved(trace);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        if (!database.empty() && file == resolved(database + suffix)) {
            std::cerr << "couloir : la trace " << trace << " écraserait la base de données ; choisissez un autre "
                      << "fichier avec --trace\n";
            return false;
        }
    }
    for (const std::string& folder : folders) {
        if (!folder.empty() && file.parent_path() == resolved(folder)) {
            std::cerr << "couloir : la trace " << trace << " ne peut pas être écrite dans le dossier " << folder
                      << " que la commande lit ou écrit ; choisissez un autre fichier avec --trace\n";
            return false;
        }
    }
    return true;
}

bool traceIsWritable(const std::string& trace) {
    try {
        std::fclose(openPrivateFile(trace, WriteMode::Append));
        return true;
    } catch (const Error& e) {
        std::cerr << "couloir : la trace " << trace << " ne peut pas être écrite : " << e.description() << "\n";
        return false;
    }
}

void* findEntryPoint(const std::string& progId, const std::string& method) {
    try {
        return resolveMethod(progId, method);
    } catch (const Error& e) {
        std::cerr << "couloir : " << e.description() << " (composant introuvable dans :";
        for (const auto& folder : componentFolders()) std::cerr << " " << folder;
        std::cerr << ")\n";
        return nullptr;
    }
}

int finish(bool result, const CommonOptions& options) {
    if (!options.quiet) {
        if (fileExists(options.trace)) {
            // The trace is Windows-1252 with CR LF; the terminal gets UTF-8 lines.
            std::ifstream file(options.trace, std::ios::binary);
            std::string text = decodeCp1252(std::string(std::istreambuf_iterator<char>(file), {}));
            replaceAll(text, "\r\n", "\n");
            std::cout << text;
        } else {
            std::cerr << "couloir: la trace " << options.trace << " n'a pas pu être écrite\n";
        }
    }
    return result ? kSuccess : kFailure;
}

void reportHostError(const std::exception& error) { std::cerr << "couloir : " << error.what() << "\n"; }

void reportHostFailure(const std::string& failure) {
    std::cerr << "couloir : la compétition n'a pas pu être créée dans la base ; rien n'a été importé (" << failure
              << ")\n";
}

ConsoleForm makeForm(const CommonOptions& options) { return ConsoleForm(!options.quiet && ::isatty(STDERR_FILENO)); }

}  // namespace couloir::host
