#include "shared/working_folders.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shared/error.h"
#include "shared/private_files.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {


// When the process started, in clock ticks since boot ("" where the system
// does not tell): with the number, it tells a process from a later one that
// was given the same number.
std::string processStart(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::size_t name = text.rfind(')');
    if (name == std::string::npos) return {};
    std::istringstream fields(text.substr(name + 1));
    std::string field;
    // The state is the third field of the line; the start time its 22nd.
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) return field;
    return {};
}

bool processIsRunning(long pid, const std::string& start) {
    if (pid <= 0) return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return false;
    std::string now = processStart(pid);
    return start.empty() || now.empty() || now == start;
}

}  // namespace

std::string createMarkedFolder(const std::string& parent, std::string_view prefix) {
    std::string pattern = (fs::path(parent) / (std::string(prefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw Error(errors::kPathNotFound, "Création impossible du dossier " + pattern + " (" +
                                               std::generic_category().message(errno) + ")");
    long pid = static_cast<long>(::getpid());
    writePrivateFile((fs::path(pattern) / kProcessMarkName).string(), WriteMode::CreateNew,
                     std::to_string(pid) + " " + processStart(pid) + "\n");
    return pattern;
}

bool isAbandoned(const std::string& folder) {
    std::ifstream mark(fs::path(folder) / kProcessMarkName);
    long pid = 0;
    std::string start;
    std::error_code ec;
    if (!(mark >> pid)) return fs::is_empty(folder, ec) && !ec;
    mark >> start;
    return !processIsRunning(pid, start);
}

std::vector<std::string> abandonedFolders(const std::string& parent, std::string_view prefix) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        struct stat info {};
        if (!name.starts_with(prefix) || name.size() != prefix.size() + 6 || ::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        if (isAbandoned(it->path().string())) found.push_back(it->path().string());
    }
    return found;
}

void removeAbandonedFolders(const std::string& parent, std::string_view prefix) {
    for (const std::string& folder : abandonedFolders(parent, prefix)) {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
}

}  // namespace couloir
