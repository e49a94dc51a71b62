// The machine-readable account of one call (--report): built from the events
// the call sends the host form while it writes its trace, and written as JSON
// (docs/report.md, docs/report.schema.json).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "couloir/couloir.h"

namespace couloir::host {

class CallReport {
public:
    CallReport(std::string command, std::vector<std::string> arguments, bool dryRun);

    // One event of the call, in the order it came.
    void receive(const couloir_event& event);
    // The document, once the call has returned.
    nlohmann::ordered_json finish(bool result, int exitStatus) const;

private:
    nlohmann::ordered_json& currentStep();
    void addLine(const std::string& text);
    void endStep(const char* outcome, long long linesRead);

    std::string command_;
    std::vector<std::string> arguments_;
    bool dryRun_;
    std::string started_;
    std::string trace_;
    nlohmann::ordered_json steps_ = nlohmann::ordered_json::array();
    bool inStep_ = false;
    std::string stepTrace_;  // the open step's lines, set into it when it ends
    nlohmann::ordered_json messages_ = nlohmann::ordered_json::array();
    nlohmann::ordered_json changes_ = nlohmann::ordered_json::object();
    nlohmann::ordered_json files_ = nlohmann::ordered_json::array();
};

// Now, as ISO 8601 local time with its offset: 2026-12-09T17:48:32+01:00.
std::string isoNow();

// Writes the document to `path`, owner-only, or to standard output for "-";
// false after telling why on stderr.
bool writeReport(const nlohmann::ordered_json& report, const std::string& path);

}  // namespace couloir::host
