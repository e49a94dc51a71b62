// What every component command shares: the trace and temporary folder
// options, finding the component's entry point, and reporting the result.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "call_report.h"
#include "operations.h"

namespace couloir::host {

// Exit statuses: the method returned true, false, or the command was misused.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

struct CommonOptions {
    std::string command;  // the subcommand's name
    std::string trace = "trace.txt";
    std::string report;   // the JSON report's file, "-" for standard output, empty for none
    bool quiet = false;

    // The trace is not printed, nor the progress shown, when asked or when
    // standard output carries the report.
    bool silent() const { return quiet || report == "-"; }
};

// The arguments given after the subcommand's name, for the report.
void rememberArguments(int argc, char** argv);
const std::vector<std::string>& rememberedArguments();

void addCommonOptions(CLI::App& command, CommonOptions& options);
// Adds --temp: the folder that receives the working copies.
void addTemporaryOption(CLI::App& command, std::string& folder);

// The folder receiving a call's working copies: the one given, created
// owner-only when missing and kept; or a fresh owner-only folder under the
// system's temporary folder, marked as this process's and removed with
// everything in it when the call ends.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& given);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool fresh_ = false;
};

// The prefixes of the fresh folders under the system's temporary folder: a
// call's working copies, the web server's uploads.
inline constexpr const char* kWorkingFolderPrefix = "couloir-";
inline constexpr const char* kWebFolderPrefix = "couloir-web-";
// Removes the working folders that killed commands left under the system's
// temporary folder.
void removeAbandonedWorkingFolders();

// Creates an output folder, owner-only; false after telling why on stderr.
bool prepareOutputFolder(const std::string& folder);

// The trace and the report may not overwrite the database (or its journal
// files), compared by name and as files (a hard link is the same file), nor
// land in a folder the call reads or writes its working copies in: false
// after telling why on stderr.
bool outputsAreAllowed(const CommonOptions& options, const std::string& database,
                       const std::vector<std::string>& folders);
// None of the files `names` of `folder` (those a call writes there) may be the
// database or its journal files: false after telling why on stderr.
bool folderFilesAreAllowed(const std::string& folder, const std::vector<std::string>& names, const std::string& database,
                           const char* option);
// --temp is a folder, never a symbolic link, that exists or whose parent does,
// and neither the source folder nor inside it: false after telling why on stderr.
bool temporaryFolderIsAllowed(const std::string& temp, const std::string& source);

// A trace (Windows-1252, CR LF) as UTF-8 lines ended by LF.
std::string traceText(const std::string& path);

// Runs an operation for the command line: the host's checks and statements,
// the call with a progress line on a terminal, the trace printed, the report
// written. The exit status.
int runCommand(OperationKind kind, const OperationArguments& arguments, const CommonOptions& options,
               bool dryRun = false);

}  // namespace couloir::host
