#include "shared/staged_output.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "shared/error.h"
#include "shared/platform.h"
#include "shared/private_files.h"
#include "shared/text_date.h"
#include "shared/working_folders.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

constexpr const char* kStagingPrefix = ".couloir-ecriture-";
// Written once every file of the set is complete: from then on the delivery
// is due, and is completed after a kill. It names the output folder (device
// and inode) and the files to move.
constexpr const char* kDeliveryName = "couloir-livraison";

Error accessError(const std::string& what, const std::string& path, std::error_code error) {
    return {errors::kPathFileAccess, what + " " + path + " (" + error.message() + ")"};
}

// The folder's identity on its file system.
std::string identity(const std::string& folder) {
    std::optional<std::string> identity = platform::fileIdentity(folder);
    std::error_code ec;
    if (!identity || !fs::is_directory(platform::pathOf(folder), ec))
        throw Error(errors::kPathNotFound, "Dossier de sortie introuvable : " + folder);
    return *identity;
}

// Flushes a file or a folder to the disk, so that a power cut after the
// delivery finds the files whole.
void sync(const std::string& path) {
    std::error_code error;
    platform::flushToDisk(path, error);
    if (error) throw accessError("Écriture sur disque impossible de", path, error);
}

std::vector<std::string> stagedFiles(const std::string& staging) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(platform::pathOf(staging))) {
        std::string name = platform::utf8Of(entry.path().filename());
        if (name != kDeliveryName && name != kProcessMarkName) names.push_back(name);
    }
    return names;
}

// Moves the named files still in `staging` into `folder`, then removes the
// files of `folder` named as one of them in another case. Each step can be
// made again: a delivery cut short is completed by running it once more.
void moveInto(const std::string& staging, const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::string from = platform::utf8Of(platform::pathOf(staging) / platform::pathOf(name));
        std::string to = platform::utf8Of(platform::pathOf(folder) / platform::pathOf(name));
        if (platform::entryKind(from) == platform::EntryKind::Missing) continue;
        std::error_code error;
        platform::moveReplacing(from, to, error);
        if (error) throw accessError("Mise en place impossible de", to, error);
    }
    // The files of the folder named as one of them in another case, listed before any changes.
    std::vector<std::pair<std::string, std::string>> twins;  // listed path, delivered path
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathOf(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::string existing = platform::utf8Of(it->path().filename());
        for (const std::string& name : names)
            if (existing != name && equalsNoCase(existing, name))
                twins.emplace_back(platform::utf8Of(it->path()),
                                   platform::utf8Of(platform::pathOf(folder) / platform::pathOf(name)));
    }
    for (const auto& [listed, delivered] : twins) {
        std::error_code error;
        std::optional<std::string> identity = platform::fileIdentity(listed);
        if (identity && identity == platform::fileIdentity(delivered)) {
            // A file system that ignores case (Windows) kept the old spelling: the delivered file takes its own.
            platform::moveReplacing(listed, delivered, error);
            if (error) throw accessError("Mise en place impossible de", delivered, error);
        } else if (!fs::remove(platform::pathOf(listed), error) && error) {
            throw accessError("Suppression impossible de", listed, error);
        }
    }
    sync(folder);
}

// A staging folder's delivery record: the output folder's identity, then the names.
bool readDelivery(const std::string& staging, std::string& target, std::vector<std::string>& names) {
    std::ifstream record(platform::pathOf(staging) / kDeliveryName);
    if (!std::getline(record, target)) return false;
    for (std::string name; std::getline(record, name);)
        if (!name.empty()) names.push_back(name);
    return true;
}

// A file of the set in the output folder that is a folder cannot be replaced:
// found before anything moves, so that no delivery stops half way on it.
void checkReplaceable(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::string to = platform::utf8Of(platform::pathOf(folder) / platform::pathOf(name));
        if (platform::entryKind(to) == platform::EntryKind::Folder)
            throw Error(errors::kPathFileAccess, "Un dossier porte le nom du fichier à écrire : " + to);
    }
}

// The folder holding `folder`, whatever its spelling ("out", "out/", "./out").
fs::path parentOf(const std::string& folder) {
    fs::path full = fs::absolute(platform::pathOf(folder)).lexically_normal();
    if (!full.has_filename()) full = full.parent_path();
    return full.parent_path();
}

}  // namespace

StagedOutput::StagedOutput(std::string folder) : folder_(std::move(folder)) {
    identity(folder_);
    try {
        staging_ = createMarkedFolder(platform::utf8Of(parentOf(folder_)), kStagingPrefix);
    } catch (const Error&) {
        staging_ = createMarkedFolder(folder_, kStagingPrefix);
    }
}

StagedOutput::~StagedOutput() {
    std::error_code ec;
    fs::remove_all(platform::pathOf(staging_), ec);
}

std::string StagedOutput::path(const std::string& name) const {
    return platform::utf8Of(platform::pathOf(staging_) / platform::pathOf(name));
}

void StagedOutput::deliver() {
    std::vector<std::string> names = stagedFiles(staging_);
    if (names.empty()) return;
    checkReplaceable(folder_, names);
    std::string record = identity(folder_) + "\n";
    for (const std::string& name : names) {
        sync(path(name));
        record += name + "\n";
    }
    writePrivateFile(path(kDeliveryName), WriteMode::CreateNew, record);
    sync(path(kDeliveryName));
    sync(staging_);
    moveInto(staging_, folder_, names);
}

void recoverAbandonedOutput(const std::string& folder) {
    std::string self;
    try {
        self = identity(folder);
    } catch (const Error&) {
        return;
    }
    for (const std::string& place : {platform::utf8Of(parentOf(folder)), folder}) {
        for (const std::string& staging : abandonedFolders(place, kStagingPrefix)) {
            std::string target;
            std::vector<std::string> names;
            bool due = readDelivery(staging, target, names);
            if (due && target != self) continue;  // another folder's: its own next call completes it
            try {
                if (due) moveInto(staging, folder, names);
            } catch (const Error&) {
                continue;  // left for a later call
            }
            std::error_code ec;
            fs::remove_all(platform::pathOf(staging), ec);
        }
    }
}

}  // namespace couloir
