#include "shared/components.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "shared/error.h"
#include "shared/install_layout.h"
#include "shared/text_date.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

fs::path hostProgram() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path(".") / "couloir" : exe;
}

// The library this code was linked into, when it is not the program itself:
// a component finds the others beside it, whatever host loaded it.
std::optional<fs::path> ownLibrary() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&hostProgram), &info) || !info.dli_fname || !*info.dli_fname) return std::nullopt;
    std::error_code ec;
    fs::path library = fs::absolute(info.dli_fname, ec);
    if (ec || !fs::is_regular_file(library, ec) || fs::equivalent(library, hostProgram(), ec)) return std::nullopt;
    return library;
}

// Loaded libraries stay loaded for the life of the process.
void* loadLibrary(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    if (auto found = loaded.find(name); found != loaded.end()) return found->second;
    for (const auto& folder : componentFolders()) {
        fs::path candidate = fs::path(folder) / ("lib" + name + ".so");
        std::error_code ec;
        if (!fs::exists(candidate, ec)) continue;
        if (void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return loaded[name] = handle;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> componentFolders() {
    if (const char* list = std::getenv("COULOIR_COMPONENTS"); list && *list) {
        std::vector<std::string> folders;
        for (auto& folder : split(list, ':'))
            if (!folder.empty()) folders.push_back(folder);
        return folders;
    }
    std::vector<std::string> folders;
    if (auto library = ownLibrary()) folders.push_back(library->parent_path().string());
    fs::path host = hostProgram().parent_path();
    for (const fs::path& folder : {host / componentsFromProgram(), host, host / ".." / "lib"})
        folders.push_back(folder.lexically_normal().string());
    return folders;
}

std::string componentsDataFile(const std::string& name) {
    auto library = ownLibrary();
    fs::path folder = library ? library->parent_path() : hostProgram().parent_path() / componentsFromProgram();
    std::error_code ec;
    if (fs::exists(folder / name, ec)) return (folder / name).string();
    return (folder / dataFromComponents() / name).lexically_normal().string();
}

void* resolveMethod(const std::string& progId, const std::string& method) {
    std::size_t dot = progId.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == progId.size()) throw errors::cannotCreateObject(progId);
    std::string library = progId.substr(0, dot);
    void* handle = loadLibrary(library);
    if (!handle) throw errors::cannotCreateObject(progId);
    std::string symbol = library + "_" + progId.substr(dot + 1) + "_" + method;
    void* entry = dlsym(handle, symbol.c_str());
    if (!entry) throw errors::cannotCreateObject(progId + "." + method);
    return entry;
}

std::string componentVersion(const std::string& library) {
    void* handle = loadLibrary(library);
    auto version = handle ? reinterpret_cast<const char* (*)()>(dlsym(handle, "couloir_version")) : nullptr;
    if (!version) throw errors::cannotCreateObject(library + ".couloir_version");
    return version();
}

}  // namespace couloir
