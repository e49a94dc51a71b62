// What every component command shares: the trace and temporary folder
// options, finding the component's entry point, and reporting the result.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "console_form.h"

namespace couloir::host {

// Exit statuses: the method returned true, false, or the command was misused.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

struct CommonOptions {
    std::string trace = "trace.txt";
    bool quiet = false;
};

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

// The trace may not overwrite the database (or its journal files) nor land
// in a folder the call reads or writes its working copies in: false after
// telling why on stderr.
bool traceIsAllowed(const std::string& trace, const std::string& database, const std::vector<std::string>& folders);

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
    auto entry = reinterpret_cast<Entry>(findEntryPoint(progId, method));
    if (!entry || !traceIsWritable(options.trace)) return kFailure;
    ConsoleForm form = makeForm(options);
    form.runInCallTransaction(std::move(settings.hostStatements));
    form.setDryRun(settings.dryRun);
    bool result = false;
    try {
        result = call(entry, form.form());
    } catch (const std::exception& e) {  // the host's own preparations, such as the working folder
        reportHostError(e);
        return kFailure;
    }
    if (!form.hostFailure().empty()) reportHostFailure(form.hostFailure());
    return finish(result, options);
}

}  // namespace couloir::host
