#include "shared/components.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "shared/error.h"
#include "shared/text_date.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

std::string hostFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
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
    std::string host = hostFolder();
    return {host, (fs::path(host) / ".." / "lib").lexically_normal().string()};
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
