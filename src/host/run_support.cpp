#include "run_support.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "host_form.h"
#include "shared/cp1252.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/private_files.h"
#include "shared/text_date.h"

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

namespace {
// One output of the host (`what`, named by `option`) against the database and the folders.
bool outputIsAllowed(const std::string& path, const char* what, const char* option, const std::string& database,
                     const std::vector<std::string>& folders) {
    fs::path file = resolved(path);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        if (!database.empty() && !isServerDatabase(database) && file == resolved(database + suffix)) {
            std::cerr << "couloir : " << what << " " << path << " écraserait la base de données ; choisissez un autre "
                      << "fichier avec " << option << "\n";
            return false;
        }
    }
    for (const std::string& folder : folders) {
        if (!folder.empty() && file.parent_path() == resolved(folder)) {
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
    if (!options.report.empty() && options.report != "-" && resolved(options.report) == resolved(options.trace)) {
        std::cerr << "couloir : le rapport et la trace ne peuvent pas être le même fichier\n";
        return false;
    }
    return options.report.empty() || options.report == "-" ||
           outputIsAllowed(options.report, "le rapport", "--report", database, folders);
}

std::string traceText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
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
        std::cerr << "couloir : " << preparation.refusal << "\n";
        return end(false, kFailure);
    }
    if (!traceIsWritable(options.trace)) return end(false, kFailure);
    HostForm form;
    ConsoleProgress progress(form, !options.silent() && ::isatty(STDERR_FILENO));
    form.runInCallTransaction(std::move(preparation.hostStatements));
    form.setDryRun(dryRun);
    form.reportTo(report ? &*report : nullptr);
    bool result = false;
    try {
        result = callOperation(kind, arguments, form.form());
    } catch (const std::exception& e) {  // the component is missing, or the working folder cannot be made
        std::cerr << "couloir : " << e.what() << "\n";
        return end(false, kFailure);
    }
    if (!form.hostFailure().empty())
        std::cerr << "couloir : la compétition n'a pas pu être créée dans la base ; rien n'a été importé ("
                  << form.hostFailure() << ")\n";
    return end(result, finish(result, options));
}

}  // namespace couloir::host
