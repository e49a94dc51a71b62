#include "run_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "host_form.h"
#include "shared/cp1252.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/platform.h"
#include "shared/private_files.h"
#include "shared/text_date.h"
#include "shared/trace.h"
#include "shared/working_folders.h"

namespace fs = std::filesystem;

namespace couloir::host {

namespace {
std::vector<std::string> arguments;
}  // namespace

void rememberArguments(int argc, char** argv) {
    // argv[0] is the program, argv[1] the subcommand.
    arguments.assign(argv + std::min(argc, 2), argv + argc);
}

const std::vector<std::string>& rememberedArguments() { return arguments; }

void addCommonOptions(CLI::App& command, CommonOptions& options) {
    options.command = command.get_name();
    command.add_option("--trace", options.trace, "Fichier de trace (par défaut : trace.txt dans le dossier courant)");
    command.add_option("--report", options.report,
                       "Rapport JSON de l'appel dans ce fichier (- : sur la sortie standard, la trace n'est alors "
                       "pas affichée)")
        ->type_name("FICHIER");
    command.add_flag("--quiet", options.quiet, "N'affiche pas la trace à la fin");
}

void addTemporaryOption(CLI::App& command, std::string& folder) {
    command.add_option("--temp", folder, "Dossier des copies de travail (par défaut : un dossier temporaire neuf, supprimé ensuite)");
}

WorkingFolder::WorkingFolder(const std::string& given) : path_(given) {
    if (!path_.empty()) {
        // Checked by temporaryFolderIsAllowed: a link is refused, only the last folder may be missing.
        std::error_code error;
        platform::createOwnerOnlyFolder(path_, error);
        if (error)
            throw Error(errors::kPathNotFound, "Création impossible du dossier " + path_ + " (" + error.message() + ")");
        return;
    }
    path_ = createMarkedFolder(platform::utf8Of(fs::temp_directory_path()), kWorkingFolderPrefix);
    fresh_ = true;
}

void removeAbandonedWorkingFolders() {
    std::error_code ec;
    fs::path temporary = fs::temp_directory_path(ec);
    if (ec) return;
    for (const char* prefix : {kWorkingFolderPrefix, kWebFolderPrefix})
        removeAbandonedFolders(platform::utf8Of(temporary), prefix);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ec;
    if (fresh_) fs::remove_all(platform::pathOf(path_), ec);
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
    fs::path full = fs::weakly_canonical(fs::absolute(platform::pathOf(path), ec), ec);
    return ec ? platform::pathOf(path) : full;
}

// Both paths name one existing file or folder, whatever the names (a hard
// link, another spelling).
bool sameFile(const std::string& a, const std::string& b) {
    auto first = platform::fileIdentity(a);
    return first && first == platform::fileIdentity(b);
}

// Whether `path` names the database or one of its journal files, by name or as the same file.
bool isDatabaseFile(const fs::path& path, const std::string& database) {
    if (database.empty() || isServerDatabase(database)) return false;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::path file = resolved(database + suffix);
        if (path == file || sameFile(platform::utf8Of(path), database + suffix)) return true;
        // A file of the same folder whose name differs only in case is replaced too.
        if (path.parent_path() == file.parent_path() && equalsNoCase(platform::utf8Of(path.filename()), platform::utf8Of(file.filename())))
            return true;
    }
    return false;
}

bool inFolder(const fs::path& file, const std::string& folder) {
    return file.parent_path() == resolved(folder) || sameFile(platform::utf8Of(file.parent_path()), folder);
}

// One output of the host (`what`, named by `option`) against the database and the folders.
bool outputIsAllowed(const std::string& path, const char* what, const char* option, const std::string& database,
                     const std::vector<std::string>& folders) {
    fs::path file = resolved(path);
    if (isDatabaseFile(file, database)) {
        std::cerr << "couloir : " << what << " " << path << " écraserait la base de données ; choisissez un autre "
                  << "fichier avec " << option << "\n";
        return false;
    }
    for (const std::string& folder : folders) {
        if (!folder.empty() && inFolder(file, folder)) {
            std::cerr << "couloir : " << what << " " << path << " ne peut pas aller dans le dossier " << folder
                      << " que la commande lit ou écrit ; choisissez un autre fichier avec " << option << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace

bool outputsAreAllowed(const CommonOptions& options, const std::string& database,
                       const std::vector<std::string>& folders) {
    if (!outputIsAllowed(options.trace, "la trace", "--trace", database, folders)) return false;
    bool toFile = !options.report.empty() && options.report != "-";
    if (toFile && (resolved(options.report) == resolved(options.trace) || sameFile(options.report, options.trace))) {
        std::cerr << "couloir : le rapport et la trace ne peuvent pas être le même fichier\n";
        return false;
    }
    return !toFile || outputIsAllowed(options.report, "le rapport", "--report", database, folders);
}

bool folderFilesAreAllowed(const std::string& folder, const std::vector<std::string>& names, const std::string& database,
                           const char* option) {
    // The files the call writes, and those it replaces: the same names in another case.
    std::vector<std::string> written;
    for (const std::string& name : names) written.push_back(name);
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathOf(folder), ec), end; !ec && it != end; it.increment(ec))
        for (const std::string& name : names)
            if (std::string existing = platform::utf8Of(it->path().filename()); equalsNoCase(existing, name))
                written.push_back(existing);
    for (const std::string& name : written) {
        fs::path file = resolved(platform::utf8Of(platform::pathOf(folder) / platform::pathOf(name)));
        if (isDatabaseFile(file, database)) {
            std::cerr << "couloir : le fichier " << name << " du dossier " << folder
                      << " est la base de données (ou l'un de ses journaux) ; choisissez un autre dossier avec "
                      << option << "\n";
            return false;
        }
    }
    return true;
}

bool temporaryFolderIsAllowed(const std::string& temp, const std::string& source) {
    if (temp.empty()) return true;
    platform::EntryKind kind = platform::entryKind(temp);
    if (kind != platform::EntryKind::Missing) {
        if (kind != platform::EntryKind::Folder) {
            std::cerr << "couloir : --temp " << temp << " doit être un dossier, pas un lien symbolique ni un fichier\n";
            return false;
        }
    } else {
        fs::path parent = fs::absolute(platform::pathOf(temp)).lexically_normal().parent_path();
        if (platform::entryKind(platform::utf8Of(parent)) != platform::EntryKind::Folder) {
            std::cerr << "couloir : --temp " << temp << " : le dossier " << platform::utf8Of(parent)
                      << " n'existe pas (seul le dernier dossier est créé)\n";
            return false;
        }
    }
    // Neither the source folder nor a folder inside it: the copies would land among the files read.
    fs::path place = resolved(temp);
    for (fs::path folder = place;; folder = folder.parent_path()) {
        if (folder == resolved(source) || sameFile(platform::utf8Of(folder), source)) {
            std::cerr << "couloir : --temp " << temp << " ne peut pas être le dossier source " << source
                      << " ni un dossier qu'il contient\n";
            return false;
        }
        if (folder == folder.parent_path() || folder.empty()) break;
    }
    return true;
}

std::string traceText(const std::string& path) {
    std::ifstream file(platform::pathOf(path), std::ios::binary);
    std::string text = decodeCp1252(std::string(std::istreambuf_iterator<char>(file), {}));
    replaceAll(text, "\r\n", "\n");
    return text;
}

namespace {

// Whether the trace can be written; false after telling why on stderr.
bool traceIsWritable(const std::string& trace) {
    try {
        std::fclose(openPrivateFile(trace, WriteMode::Append));
        return true;
    } catch (const Error& e) {
        std::cerr << "couloir : la trace " << trace << " ne peut pas être écrite : " << e.description() << "\n";
        return false;
    }
}

// Prints the trace as UTF-8 unless silent, and turns the method's result into an exit status.
int finish(bool result, const CommonOptions& options) {
    if (!options.silent()) {
        if (fileExists(options.trace)) {
            std::cout << traceText(options.trace);
        } else {
            std::cerr << "couloir: la trace " << options.trace << " n'a pas pu être écrite\n";
        }
    }
    return result ? kSuccess : kFailure;
}

// A refusal of the host once the trace is known to be safe to write: on
// standard error and, as every command leaves its account there, in the trace.
void reportRefusal(const CommonOptions& options, const std::string& message) {
    std::cerr << "couloir : " << message << "\n";
    Trace trace(options.trace);
    if (trace.isOpen()) trace.error("couloir " + options.command + " : " + message);
}

}  // namespace

int runCommand(OperationKind kind, const OperationArguments& arguments, const CommonOptions& options, bool dryRun) {
    std::optional<CallReport> report;
    if (!options.report.empty()) report.emplace(options.command, rememberedArguments(), dryRun);
    // The report says how the command ended, whether the call ran or not.
    auto end = [&](bool result, int status) {
        if (report && !writeReport(report->finish(result, status), options.report)) return kFailure;
        return status;
    };
    Preparation preparation = prepareOperation(kind, arguments);
    if (!preparation.refusal.empty()) {
        reportRefusal(options, preparation.refusal);
        return end(false, kFailure);
    }
    if (!traceIsWritable(options.trace)) return end(false, kFailure);
    HostForm form;
    ConsoleProgress progress(form, !options.silent() && platform::errorIsConsole());
    form.reportTo(report ? &*report : nullptr);
    OperationOutcome outcome = runOperation(kind, arguments, std::move(preparation), dryRun, form);
    if (!outcome.hostError.empty()) {
        // A call that could not take place is refused as the host refuses; a
        // host part that failed inside the call is said beside the call's trace.
        if (form.hostFailure().empty()) {
            reportRefusal(options, outcome.hostError);
            return end(false, kFailure);
        }
        std::cerr << "couloir : " << outcome.hostError << "\n";
    }
    return end(outcome.result, finish(outcome.result, options));
}

}  // namespace couloir::host
