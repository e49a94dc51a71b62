// Running the operations of the table (operation_table.h): their arguments,
// the checks and statements the host adds, and the call itself.
// The command line and the web page both go through here.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "couloir/couloir.h"

namespace couloir::host {

enum class OperationKind {
    ImportResults,
    ImportSkeleton,
    ImportLicences,
    UpdateCodes,
    ImportPerf,
    CreateFiles,
    ExportPerf,
    MergeSwimmers
};

struct OperationArguments {
    std::string database;
    std::string folder;  // the source folder of an import, the output folder of a writer
    std::string temp;    // the working copies' folder; empty for a fresh one
    std::string trace;
    std::string competition, profile, club, ownClub;
    std::string keep, merged;  // the swimmers' Licence.Num of a merge
    bool newCompetition = false, selection = false, all = false;
};

// The host's part of a call: why it refuses the operation (empty when it
// does not) and its own statements, run in the call's transaction.
struct Preparation {
    std::string refusal;
    std::vector<std::string> hostStatements;
};
Preparation prepareOperation(OperationKind kind, const OperationArguments& arguments);

// A component that cannot be found or a host preparation that failed: the
// call did not take place. The message is French.
struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Calls the operation's component method with the form; its result. Throws
// HostError when the component is missing or the working folder cannot be made.
bool callOperation(OperationKind kind, const OperationArguments& arguments, const couloir_form* form);

class HostForm;

// How an operation ended: the call's result, and why the host failed it
// (French; empty when the call itself decided).
struct OperationOutcome {
    bool result = false;
    std::string hostError;
};

// Runs a prepared operation on `form`, as every host does: the host's
// statements in the call's transaction, the dry run, the call. Never throws.
OperationOutcome runOperation(OperationKind kind, const OperationArguments& arguments, Preparation preparation,
                              bool dryRun, HostForm& form);

}  // namespace couloir::host
