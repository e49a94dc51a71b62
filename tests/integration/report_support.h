// Reading the JSON reports of the couloir command in tests.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace couloir::test {

// The report at `path`, parsed.
nlohmann::json readReport(const std::string& path);
// Whether the reports validate against the repository's schema; the
// validator's complaints go to the test's output. The validator is a Python
// program of the build machine: on Windows, under Wine, it cannot run and the
// report is not checked (the Linux suite checks the same writer).
bool matchesSchema(const std::string& path);

// A report without what differs between a dry run and the real one: times,
// arguments, the dry-run flag and the whole trace (its steps' parts stay).
nlohmann::json comparablePart(nlohmann::json report);

}  // namespace couloir::test
