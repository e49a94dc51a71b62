#include "shared/platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace couloir::platform {
namespace {

constexpr mode_t kOwnerFile = S_IRUSR | S_IWUSR;
constexpr mode_t kOwnerFolder = S_IRWXU;

std::error_code lastError() { return {errno, std::generic_category()}; }

}  // namespace

bool driveIsReady(const std::string&) { return true; }

EntryKind entryKind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return EntryKind::Missing;
    if (S_ISLNK(info.st_mode)) return EntryKind::Link;
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::File;
}

std::optional<std::string> fileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return std::to_string(info.st_dev) + " " + std::to_string(info.st_ino);
}

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* openOwnerOnlyFile(const std::string& path, WriteMode mode, std::error_code& error) {
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    if (mode == WriteMode::Replace) flags |= O_TRUNC;
    if (mode == WriteMode::Append) flags |= O_APPEND;
    if (mode == WriteMode::CreateNew) flags |= O_EXCL;
    int fd = ::open(path.c_str(), flags, kOwnerFile);
    if (fd < 0) {
        error = errno == EMLINK ? std::make_error_code(std::errc::too_many_symbolic_link_levels) : lastError();
        return nullptr;
    }
    // An existing file keeps its mode through open(): make it owner-only too.
    // A device or a pipe (a trace sent to /dev/null) is not ours to change.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (S_ISREG(info.st_mode) && ::fchmod(fd, kOwnerFile) != 0)) {
        error = lastError();
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, mode == WriteMode::Append ? "ab" : "wb");
    if (!file) {
        error = lastError();
        ::close(fd);
    }
    return file;
}

bool createOwnerOnlyFolder(const std::string& path, std::error_code& error) {
    if (::mkdir(path.c_str(), kOwnerFolder) == 0) {
        ::chmod(path.c_str(), kOwnerFolder);  // whatever the umask took away
        return true;
    }
    if (errno != EEXIST) error = lastError();
    return false;
}

std::optional<std::string> createUniqueFolder(const std::string& parent, std::string_view prefix,
                                              std::error_code& error) {
    std::string pattern = utf8Of(pathOf(parent) / pathOf(std::string(prefix) + "XXXXXX"));
    if (::mkdtemp(pattern.data())) return pattern;
    error = lastError();
    return std::nullopt;
}

bool ownedByCurrentUser(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && info.st_uid == ::geteuid();
}

void flushToDisk(const std::string& path, std::error_code& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        return;
    }
    // A file system that cannot flush a folder says EINVAL: nothing to do there.
    if (::fsync(fd) != 0 && errno != EINVAL) error = lastError();
    ::close(fd);
}

void moveReplacing(const std::string& from, const std::string& to, std::error_code& error) {
    if (::rename(from.c_str(), to.c_str()) != 0) error = lastError();
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    ::localtime_r(&moment, &local);
    return local;
}

long currentProcessId() { return static_cast<long>(::getpid()); }

std::string processStart(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::size_t name = text.rfind(')');
    if (name == std::string::npos) return {};
    std::istringstream fields(text.substr(name + 1));
    std::string field;
    // The state is the third field of the line; the start time, in clock ticks since boot, its 22nd.
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) return field;
    return {};
}

bool processExists(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH); }

std::string libraryFileName(const std::string& name) { return "lib" + name + ".so"; }

void* loadLibrary(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* librarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

std::string programPath() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? "./couloir" : exe.string();
}

std::optional<std::string> libraryHolding(const void* address) {
    Dl_info info{};
    if (!::dladdr(address, &info) || !info.dli_fname || !*info.dli_fname) return std::nullopt;
    std::error_code ec;
    std::filesystem::path library = std::filesystem::absolute(info.dli_fname, ec);
    if (ec || !std::filesystem::is_regular_file(library, ec) || std::filesystem::equivalent(library, programPath(), ec))
        return std::nullopt;
    return library.string();
}

std::vector<std::string> programArguments(int argc, char** argv) { return {argv, argv + argc}; }

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool openInBrowser(const std::string& address) {
    std::string command = "xdg-open";
    char* arguments[] = {command.data(), const_cast<char*>(address.c_str()), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, "xdg-open", nullptr, nullptr, arguments, environ) != 0) return false;
    std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
    return true;
}

bool errorIsConsole() { return ::isatty(STDERR_FILENO); }

void prepareConsole() {}

}  // namespace couloir::platform
