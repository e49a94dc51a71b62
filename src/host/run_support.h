// What every component command shares: the trace and temporary folder
// options, finding the component's entry point, and reporting the result.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "call_report.h"
#include "console_form.h"

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
// system's temporary folder, removed with everything in it when the call ends.
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

// Creates an output folder, owner-only; false after telling why on stderr.
bool prepareOutputFolder(const std::string& folder);

// The trace and the report may not overwrite the database (or its journal
// files) nor land in a folder the call reads or writes its working copies
// in: false after telling why on stderr.
bool outputsAreAllowed(const CommonOptions& options, const std::string& database,
                       const std::vector<std::string>& folders);

// The entry point of a component's method, or null after telling why on stderr.
void* findEntryPoint(const std::string& progId, const std::string& method);

// Prints the trace as UTF-8 unless quiet, and turns the method's result into an exit status.
int finish(bool result, const CommonOptions& options);

// A progress form on stderr when it is a terminal and the command is not quiet.
ConsoleForm makeForm(const CommonOptions& options);

// Whether the trace can be written; false after telling why on stderr.
bool traceIsWritable(const std::string& trace);

// Tells on stderr why the host could not prepare the call.
void reportHostError(const std::exception& error);

// Tells on stderr that a statement of the host's own failed in the call.
void reportHostFailure(const std::string& failure);

// What the host adds to a call: its own statements, run in the call's
// transaction before its steps, and whether the call is a dry run.
struct CallSettings {
    std::vector<std::string> hostStatements;
    bool dryRun = false;
};

// Calls `method` of the class `progId` through `call(entry, form)` and turns
// its result into the exit status; a failure when the component is missing.
template <typename Entry, typename Call>
int callComponent(const char* progId, const char* method, const CommonOptions& options, Call call,
                  CallSettings settings = {}) {
    std::optional<CallReport> report;
    if (!options.report.empty()) report.emplace(options.command, rememberedArguments(), settings.dryRun);
    // The report says how the command ended, whether the call ran or not.
    auto end = [&](bool result, int status) {
        if (report && !writeReport(report->finish(result, status), options.report)) return kFailure;
        return status;
    };
    auto entry = reinterpret_cast<Entry>(findEntryPoint(progId, method));
    if (!entry || !traceIsWritable(options.trace)) return end(false, kFailure);
    ConsoleForm form = makeForm(options);
    form.runInCallTransaction(std::move(settings.hostStatements));
    form.setDryRun(settings.dryRun);
    form.reportTo(report ? &*report : nullptr);
    bool result = false;
    try {
        result = call(entry, form.form());
    } catch (const std::exception& e) {  // the host's own preparations, such as the working folder
        reportHostError(e);
        return end(false, kFailure);
    }
    if (!form.hostFailure().empty()) reportHostFailure(form.hostFailure());
    return end(result, finish(result, options));
}

}  // namespace couloir::host
