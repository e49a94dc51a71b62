#include "report_support.h"

#include <cstdlib>
#include <fstream>

namespace couloir::test {

nlohmann::json readReport(const std::string& path) {
    std::ifstream file(path);
    return nlohmann::json::parse(file);
}

#ifdef _WIN32
bool matchesSchema(const std::string&) { return true; }
#else
bool matchesSchema(const std::string& path) {
    std::string command = "python3 " COULOIR_SOURCE_DIR "/tests/validate_report.py " COULOIR_SOURCE_DIR
                          "/docs/report.schema.json '" + path + "'";
    return std::system(command.c_str()) == 0;
}
#endif

nlohmann::json comparablePart(nlohmann::json report) {
    for (const char* field : {"started", "ended", "arguments", "dry_run", "trace"}) report.erase(field);
    return report;
}

}  // namespace couloir::test
