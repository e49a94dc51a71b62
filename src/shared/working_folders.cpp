#include "shared/working_folders.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include "shared/error.h"
#include "shared/platform.h"
#include "shared/private_files.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

// How long a folder may stay unmarked before it counts as abandoned: another
// process may have just made it and be writing its mark.
constexpr auto kUnmarkedGrace = std::chrono::minutes(1);

bool processIsRunning(long pid, const std::string& start) {
    if (!platform::processExists(pid)) return false;
    std::string now = platform::processStart(pid);
    return start.empty() || now.empty() || now == start;
}

}  // namespace

std::string createMarkedFolder(const std::string& parent, std::string_view prefix) {
    std::error_code error;
    std::optional<std::string> folder = platform::createUniqueFolder(parent, prefix, error);
    if (!folder)
        throw Error(errors::kPathNotFound, "Création impossible du dossier " +
                                               platform::utf8Of(platform::pathOf(parent) / std::string(prefix)) +
                                               "XXXXXX (" + error.message() + ")");
    long pid = platform::currentProcessId();
    writePrivateFile(platform::utf8Of(platform::pathOf(*folder) / kProcessMarkName), WriteMode::CreateNew,
                     std::to_string(pid) + " " + platform::processStart(pid) + "\n");
    return *folder;
}

bool isAbandoned(const std::string& folder) {
    std::ifstream mark(platform::pathOf(folder) / kProcessMarkName);
    long pid = 0;
    std::string start;
    std::error_code ec;
    if (!(mark >> pid)) {
        fs::path path = platform::pathOf(folder);
        if (!fs::is_empty(path, ec) || ec) return false;
        fs::file_time_type written = fs::last_write_time(path, ec);
        return !ec && fs::file_time_type::clock::now() - written > kUnmarkedGrace;
    }
    mark >> start;
    return !processIsRunning(pid, start);
}

std::vector<std::string> abandonedFolders(const std::string& parent, std::string_view prefix) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathOf(parent), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = platform::utf8Of(it->path().filename());
        std::string path = platform::utf8Of(it->path());
        if (!name.starts_with(prefix) || name.size() != prefix.size() + 6 ||
            platform::entryKind(path) != platform::EntryKind::Folder || !platform::ownedByCurrentUser(path))
            continue;
        if (isAbandoned(path)) found.push_back(path);
    }
    return found;
}

void removeAbandonedFolders(const std::string& parent, std::string_view prefix) {
    for (const std::string& folder : abandonedFolders(parent, prefix)) {
        std::error_code ec;
        fs::remove_all(platform::pathOf(folder), ec);
    }
}

}  // namespace couloir
