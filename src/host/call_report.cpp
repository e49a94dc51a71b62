#include "call_report.h"

#include <cstdio>
#include <ctime>
#include <iostream>

#include "shared/platform.h"
#include "shared/error.h"
#include "shared/private_files.h"

namespace couloir::host {
namespace {

using json = nlohmann::ordered_json;

std::string text(const char* value) { return value ? value : ""; }
json textOrNull(const char* value) { return value ? json(value) : json(nullptr); }

}  // namespace

std::string isoNow() {
    std::tm local = platform::localTime(std::time(nullptr));
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local);
    // strftime gives +0100; ISO 8601's extended form wants +01:00.
    std::string out(stamp);
    if (out.size() >= 5) out.insert(out.size() - 2, ":");
    return out;
}

CallReport::CallReport(std::string command, std::vector<std::string> arguments, bool dryRun)
    : command_(std::move(command)), arguments_(std::move(arguments)), dryRun_(dryRun), started_(isoNow()) {}

json& CallReport::currentStep() { return steps_.back(); }

void CallReport::addLine(const std::string& line) {
    trace_ += line + "\n";
    if (inStep_) stepTrace_ += line + "\n";
}

void CallReport::endStep(const char* outcome, long long linesRead) {
    currentStep()["trace"] = std::move(stepTrace_);
    currentStep()["outcome"] = text(outcome);
    currentStep()["lines_read"] = linesRead;
    stepTrace_.clear();
    inStep_ = false;
}

void CallReport::receive(const couloir_event& event) {
    std::string kind = text(event.kind);
    if (kind == "line") {
        // A line holding CR LF is several lines of the trace.
        std::string all = text(event.text);
        std::size_t start = 0;
        for (std::size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2)
            addLine(all.substr(start, end - start));
        addLine(all.substr(start));
    } else if (kind == "step") {
        steps_.push_back(json{{"title", text(event.name)},
                              {"trace", ""},
                              {"file", nullptr},
                              {"lines_read", 0},
                              {"counts", json::object()},
                              {"outcome", "done"}});
        inStep_ = true;
    } else if (kind == "file" && inStep_) {
        currentStep()["file"] = text(event.name);
    } else if (kind == "count" && inStep_) {
        currentStep()["counts"][text(event.name)] = event.values[0];
    } else if (kind == "step_end" && inStep_) {
        endStep(event.name, event.values[0]);
    } else if (kind == "message") {
        messages_.push_back(json{{"kind", text(event.name)},
                                 {"file", textOrNull(event.file)},
                                 {"line", event.line != 0 ? json(event.line) : json(nullptr)},
                                 {"text", text(event.text)},
                                 {"record", textOrNull(event.record)}});
    } else if (kind == "changes") {
        changes_[text(event.name)] =
            json{{"inserted", event.values[0]}, {"updated", event.values[1]}, {"deleted", event.values[2]}};
    } else if (kind == "written") {
        // A step that writes a file rather than read one names it.
        std::string name = text(event.name);
        if (inStep_ && currentStep()["file"].is_null()) currentStep()["file"] = name;
        // A file written in two passes (appended to) is one file of the set.
        for (json& file : files_) {
            if (file["name"] == name) {
                file["records"] = file["records"].get<long long>() + event.values[0];
                file["size"] = file["size"].get<long long>() + event.values[1];
                return;
            }
        }
        files_.push_back(json{{"name", name}, {"records", event.values[0]}, {"size", event.values[1]}});
    }
}

json CallReport::finish(bool result, int exitStatus) const {
    return json{{"version", COULOIR_VERSION}, {"command", command_}, {"arguments", arguments_}, {"started", started_},
                {"ended", isoNow()},     {"result", result},        {"dry_run", dryRun_},
                {"exit_status", exitStatus}, {"steps", steps_},     {"messages", messages_},
                // A writing call delivers its files only when it succeeds.
                {"changes", changes_},   {"files", result ? files_ : json::array()}, {"trace", trace_}};
}

bool writeReport(const json& report, const std::string& path) {
    // Texts from files are valid UTF-8 once decoded; anything else shows as U+FFFD rather than failing.
    std::string document = report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    if (path == "-") {
        std::cout << document << std::flush;
        return true;
    }
    try {
        writePrivateFile(path, WriteMode::Replace, document);
        return true;
    } catch (const Error& e) {
        std::cerr << "couloir : le rapport " << path << " ne peut pas être écrit : " << e.description() << "\n";
        return false;
    }
}

}  // namespace couloir::host
