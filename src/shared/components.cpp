#include "shared/components.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "shared/error.h"
#include "shared/install_layout.h"
#include "shared/platform.h"
#include "shared/text_date.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

fs::path hostProgram() { return platform::pathOf(platform::programPath()); }

// The library this code was linked into, when it is not the program itself:
// a component finds the others beside it, whatever host loaded it.
std::optional<fs::path> ownLibrary() {
    auto library = platform::libraryHolding(reinterpret_cast<const void*>(&hostProgram));
    if (!library) return std::nullopt;
    return platform::pathOf(*library);
}

// Loaded libraries stay loaded for the life of the process.
void* loadLibrary(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    if (auto found = loaded.find(name); found != loaded.end()) return found->second;
    for (const auto& folder : componentFolders()) {
        fs::path candidate = platform::pathOf(folder) / platform::libraryFileName(name);
        std::error_code ec;
        if (!fs::exists(candidate, ec)) continue;
        if (void* handle = platform::loadLibrary(platform::utf8Of(candidate))) return loaded[name] = handle;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> componentFolders() {
    if (std::string list = platform::environmentVariable("COULOIR_COMPONENTS"); !list.empty()) {
        std::vector<std::string> folders;
        for (auto& folder : split(list, platform::kPathListSeparator))
            if (!folder.empty()) folders.push_back(folder);
        return folders;
    }
    std::vector<std::string> folders;
    if (auto library = ownLibrary()) folders.push_back(platform::utf8Of(library->parent_path()));
    fs::path host = hostProgram().parent_path();
    for (const fs::path& folder : {host / componentsFromProgram(), host, host / ".." / "lib"})
        folders.push_back(platform::utf8Of(folder.lexically_normal()));
    return folders;
}

std::string componentsDataFile(const std::string& name) {
    auto library = ownLibrary();
    fs::path folder = library ? library->parent_path() : hostProgram().parent_path() / componentsFromProgram();
    std::error_code ec;
    if (fs::exists(folder / name, ec)) return platform::utf8Of(folder / name);
    return platform::utf8Of((folder / dataFromComponents() / name).lexically_normal());
}

void* resolveMethod(const std::string& progId, const std::string& method) {
    std::size_t dot = progId.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == progId.size()) throw errors::cannotCreateObject(progId);
    std::string library = progId.substr(0, dot);
    void* handle = loadLibrary(library);
    if (!handle) throw errors::cannotCreateObject(progId);
    std::string symbol = library + "_" + progId.substr(dot + 1) + "_" + method;
    void* entry = platform::librarySymbol(handle, symbol.c_str());
    if (!entry) throw errors::cannotCreateObject(progId + "." + method);
    return entry;
}

std::string componentVersion(const std::string& library) {
    void* handle = loadLibrary(library);
    auto version = handle ? reinterpret_cast<const char* (*)()>(platform::librarySymbol(handle, "couloir_version")) : nullptr;
    if (!version) throw errors::cannotCreateObject(library + ".couloir_version");
    return version();
}

}  // namespace couloir
