// The operations started from the web page: one at a time, each in its own
// owner-only folder (the files sent, the files written, the trace), followed
// live by its events and kept, with its report, until newer ones push it out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "operations.h"

namespace couloir::host::web {

struct UploadedFile {
    std::string name;  // as accepted (uploads.h)
    std::string path;  // where it was received, on the runner's file system
};

class Operation {
public:
    enum class Status { Running, Succeeded, Failed };

    Operation(std::string id, OperationKind kind, bool dryRun, std::string folder);
    ~Operation();  // removes the folder and everything in it

    const std::string& id() const { return id_; }
    OperationKind kind() const { return kind_; }
    const std::string& folder() const { return folder_; }
    std::string sourceFolder() const { return folder_ + "/source"; }
    std::string outputFolder() const { return folder_ + "/fichiers"; }
    std::string tracePath() const { return folder_ + "/trace.txt"; }
    // The written files as one zip, made once when the operation has ended.
    std::string zipPath() const { return folder_ + "/fichiers.zip"; }
    bool running() const;

    // The list's line: id, kind, dry run, status, result, times, current step.
    nlohmann::json summary() const;
    // The line with the report, the trace and the files written.
    nlohmann::json detail() const;
    // The names of the files written, as the output folder holds them.
    std::vector<std::string> writtenFiles() const;

    // The events from number `from` on, waiting up to `wait` for one when
    // there is none yet; `finished` tells whether the operation has ended and
    // every event was given.
    std::vector<std::string> eventsFrom(std::size_t from, std::chrono::milliseconds wait, bool& finished) const;

    // Called by the runner as the call goes.
    void push(nlohmann::json event);
    void setStep(const std::string& step);
    void finish(bool result, std::string trace, nlohmann::json report, std::string hostError);

private:
    const std::string id_;
    const OperationKind kind_;
    const bool dryRun_;
    const std::string folder_;
    const std::string started_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Status status_ = Status::Running;
    bool result_ = false;
    std::string ended_, step_, trace_, hostError_;
    nlohmann::json report_;
    std::vector<std::string> events_;
};

class OperationRunner {
public:
    // `database` is the club database every operation works on; `ended` is
    // called as each operation ends.
    OperationRunner(std::string database, std::function<void()> ended);
    ~OperationRunner();
    OperationRunner(const OperationRunner&) = delete;
    OperationRunner& operator=(const OperationRunner&) = delete;

    // Starts an operation with the files sent. Returns it, or null with
    // `running` set when another one is running, or null with `refusal` set
    // when the host refuses the arguments (French).
    std::shared_ptr<Operation> start(OperationKind kind, OperationArguments arguments, bool dryRun,
                                     std::vector<UploadedFile> files, std::shared_ptr<Operation>& running,
                                     std::string& refusal);
    std::shared_ptr<Operation> find(const std::string& id) const;
    // A fresh path under the runner's folder for one request's files, which
    // start() then moves into the operation's folder.
    std::string newUploadFolder();
    // Newest first.
    std::vector<std::shared_ptr<Operation>> list() const;

private:
    void run(std::shared_ptr<Operation> operation, OperationKind kind, OperationArguments arguments, bool dryRun,
             Preparation preparation);
    // The operation between its reservation and its start: it counts as running.
    std::shared_ptr<Operation> current() const;

    const std::string database_;
    const std::function<void()> ended_;
    std::string root_;  // owner-only, removed at the end
    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<Operation>> operations_;  // newest first
    std::shared_ptr<Operation> starting_;  // reserved, its files being written and its arguments checked
    std::thread worker_;
    unsigned next_ = 1;
    unsigned nextUpload_ = 1;
};

}  // namespace couloir::host::web
