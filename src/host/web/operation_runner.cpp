#include "operation_runner.h"

#include <filesystem>

#include "call_report.h"
#include "host_form.h"
#include "operation_table.h"
#include "run_support.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/platform.h"
#include "shared/private_files.h"
#include "shared/working_folders.h"
#include "zip_archive.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace couloir::host::web {
namespace {

// Operations kept in the list; an older one goes with its folder.
constexpr std::size_t kKeptOperations = 20;
// Captions change once per swimmer: the page hears of them this often at most.
constexpr auto kCaptionInterval = std::chrono::milliseconds(150);
// Trace lines followed live; a file of many refused lines says the rest in its trace and report.
constexpr std::size_t kLiveTraceLines = 5000;

const char* statusName(Operation::Status status) {
    switch (status) {
        case Operation::Status::Running: return "running";
        case Operation::Status::Succeeded: return "succeeded";
        case Operation::Status::Failed: return "failed";
    }
    return "";
}

}  // namespace

Operation::Operation(std::string id, OperationKind kind, bool dryRun, std::string folder)
    : id_(std::move(id)), kind_(kind), dryRun_(dryRun), folder_(std::move(folder)), started_(isoNow()) {}

Operation::~Operation() {
    std::error_code ec;
    fs::remove_all(platform::pathOf(folder_), ec);
}

bool Operation::running() const {
    std::lock_guard lock(mutex_);
    return status_ == Status::Running;
}

json Operation::summary() const {
    std::lock_guard lock(mutex_);
    return json{{"id", id_},
                {"kind", operationInfo(kind_).name},
                {"dry_run", dryRun_},
                {"status", statusName(status_)},
                {"result", status_ == Status::Running ? json(nullptr) : json(result_)},
                {"started", started_},
                {"ended", ended_.empty() ? json(nullptr) : json(ended_)},
                {"step", step_}};
}

json Operation::detail() const {
    json out = summary();
    std::lock_guard lock(mutex_);
    out["report"] = report_;
    out["trace"] = trace_;
    out["error"] = hostError_.empty() ? json(nullptr) : json(hostError_);
    return out;
}

std::vector<std::string> Operation::writtenFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathOf(outputFolder()), ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) names.push_back(platform::utf8Of(it->path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Operation::eventsFrom(std::size_t from, std::chrono::milliseconds wait,
                                               bool& finished) const {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [&] { return events_.size() > from || status_ != Status::Running; });
    std::vector<std::string> out(events_.begin() + static_cast<std::ptrdiff_t>(std::min(from, events_.size())),
                                 events_.end());
    finished = status_ != Status::Running;
    return out;
}

void Operation::push(json event) {
    std::string text = event.dump(-1, ' ', false, json::error_handler_t::replace);
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(text));
    }
    changed_.notify_all();
}

void Operation::setStep(const std::string& step) {
    std::lock_guard lock(mutex_);
    step_ = step;
}

void Operation::finish(bool result, std::string trace, json report, std::string hostError) {
    // The end is said once everything it announces can be read.
    std::string end = json{{"type", "end"}, {"result", result}, {"status", result ? "succeeded" : "failed"}}.dump();
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(end));
        result_ = result;
        trace_ = std::move(trace);
        report_ = std::move(report);
        hostError_ = std::move(hostError);
        ended_ = isoNow();
        status_ = result ? Status::Succeeded : Status::Failed;
    }
    changed_.notify_all();
}

// The uploads of a killed server are cleared by the next command, as the working folders are.
OperationRunner::OperationRunner(std::string database, std::function<void()> ended)
    : database_(std::move(database)),
      ended_(std::move(ended)),
      root_(createMarkedFolder(platform::utf8Of(fs::temp_directory_path()), kWebFolderPrefix)) {}

OperationRunner::~OperationRunner() {
    if (worker_.joinable()) worker_.join();
    operations_.clear();
    std::error_code ec;
    fs::remove_all(platform::pathOf(root_), ec);
}

std::shared_ptr<Operation> OperationRunner::current() const {
    if (starting_) return starting_;
    if (!operations_.empty() && operations_.front()->running()) return operations_.front();
    return nullptr;
}

std::shared_ptr<Operation> OperationRunner::start(OperationKind kind, OperationArguments arguments, bool dryRun,
                                                  std::vector<UploadedFile> files,
                                                  std::shared_ptr<Operation>& running, std::string& refusal) {
    // The operation is reserved under the lock; its files and the host's
    // checks (which open the database) are done outside it, so that the
    // pages are answered meanwhile.
    std::shared_ptr<Operation> operation;
    {
        std::lock_guard lock(mutex_);
        if ((running = current())) return nullptr;
        std::string id = std::to_string(next_++);
        operation = starting_ = std::make_shared<Operation>(id, kind, dryRun, root_ + "/" + id);
    }
    auto release = [&] {
        std::lock_guard lock(mutex_);
        starting_.reset();
    };
    try {
        createPrivateFolders(operation->sourceFolder());
        createPrivateFolders(operation->outputFolder());
        for (const UploadedFile& file : files)
            fs::rename(platform::pathOf(file.path), platform::pathOf(operation->sourceFolder() + "/" + file.name));
        arguments.database = database_;
        arguments.folder = operationInfo(kind).folder == OperationInfo::Folder::Reads ? operation->sourceFolder() : operation->outputFolder();
        arguments.trace = operation->tracePath();
        arguments.temp.clear();
        Preparation preparation = prepareOperation(kind, arguments);
        if (!preparation.refusal.empty()) {
            refusal = preparation.refusal;
            release();
            return nullptr;
        }
        std::lock_guard lock(mutex_);
        if (worker_.joinable()) worker_.join();  // the last operation has ended: its thread is on its way out
        operations_.push_front(operation);
        while (operations_.size() > kKeptOperations) operations_.pop_back();
        worker_ = std::thread(&OperationRunner::run, this, operation, kind, std::move(arguments), dryRun,
                              std::move(preparation));
        starting_.reset();
        return operation;
    } catch (...) {
        refusal = caughtError().description();
        release();
        return nullptr;
    }
}

void OperationRunner::run(std::shared_ptr<Operation> operation, OperationKind kind, OperationArguments arguments,
                          bool dryRun, Preparation preparation) {
    HostForm form;
    CallReport report(operationInfo(kind).name, {}, dryRun);
    form.reportTo(&report);

    // The page hears of every new step and percent at once, of the captions now and then.
    int shownPercent = -1;
    std::string shownStep, shownClub, shownSwimmer;
    std::string reportedStep;  // the step the trace last began, for a library that shows none
    auto lastCaptions = std::chrono::steady_clock::now() - kCaptionInterval;
    form.onChange([&](const HostForm& f) {
        int percent = static_cast<int>(f.progress());
        const std::string& step = f.stepTitle().empty() ? reportedStep : f.stepTitle();
        auto now = std::chrono::steady_clock::now();
        bool captions = (f.club() != shownClub || f.swimmer() != shownSwimmer) && now - lastCaptions >= kCaptionInterval;
        if (percent == shownPercent && step == shownStep && !captions) return;
        if (step != shownStep) operation->setStep(step);
        shownPercent = percent;
        shownStep = step;
        if (captions) {
            shownClub = f.club();
            shownSwimmer = f.swimmer();
            lastCaptions = now;
        }
        operation->push(json{{"type", "progress"},
                             {"step", shownStep},
                             {"value", percent},
                             {"club", shownClub},
                             {"swimmer", shownSwimmer}});
    });
    std::size_t liveLines = 0;
    form.onEvent([&](const couloir_event& event) {
        std::string kind = event.kind;
        if (kind == "step") reportedStep = event.name;
        if (kind != "line" || liveLines > kLiveTraceLines) return;
        std::string text = ++liveLines <= kLiveTraceLines ? std::string(event.text)
                                                           : "… la suite est dans la trace, à la fin de l'opération.";
        operation->push(json{{"type", "line"}, {"text", text}});
    });

    // Whatever happens, the operation ends, failed with the reason when it is not the call's.
    OperationOutcome outcome = runOperation(kind, arguments, std::move(preparation), dryRun, form);
    bool result = outcome.result;
    std::string hostError = std::move(outcome.hostError);
    json document;
    try {
        document = report.finish(result, result ? 0 : 1);
        std::vector<std::string> written = operation->writtenFiles();
        if (!written.empty()) writeZip(operation->zipPath(), operation->outputFolder(), written);
    } catch (...) {
        result = false;
        hostError = "Erreur inattendue : " + caughtError().description();
    }
    std::string trace;
    try {
        trace = fileExists(arguments.trace) ? traceText(arguments.trace) : std::string();
    } catch (...) {
        trace = "La trace n'a pas pu être lue.";
    }
    if (ended_) ended_();
    operation->finish(result, std::move(trace), std::move(document), std::move(hostError));
}

std::string OperationRunner::newUploadFolder() {
    std::lock_guard lock(mutex_);
    return root_ + "/envoi-" + std::to_string(nextUpload_++);
}

std::shared_ptr<Operation> OperationRunner::find(const std::string& id) const {
    std::lock_guard lock(mutex_);
    for (const auto& operation : operations_)
        if (operation->id() == id) return operation;
    return nullptr;
}

std::vector<std::shared_ptr<Operation>> OperationRunner::list() const {
    std::lock_guard lock(mutex_);
    return {operations_.begin(), operations_.end()};
}

}  // namespace couloir::host::web
