#include "shared/platform.h"

#include <windows.h>
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace couloir::platform {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(), length, nullptr, nullptr);
    return text;
}

namespace {

// The system's error, with the portable meaning of the ones the callers tell apart.
std::error_code lastError() {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return std::make_error_code(std::errc::file_exists);
    return {static_cast<int>(error), std::system_category()};
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle handleOf(HANDLE handle) { return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle); }

// The SID of the user the process runs as, read once; nullptr when it cannot be.
PSID currentUser() {
    static const std::vector<char> tokenUser = [] {
        std::vector<char> user;
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return user;
        Handle closer(token);
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        user.resize(size);
        if (!GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
        return user;
    }();
    return tokenUser.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(tokenUser.data())->User.Sid;
}

// The security descriptor that lets the current user alone in, children
// included, nothing inherited from the folder above.
class OwnerOnly {
public:
    OwnerOnly() {
        PSID user = currentUser();
        wchar_t* sid = nullptr;
        if (!user || !ConvertSidToStringSidW(user, &sid)) return;
        std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
        LocalFree(sid);
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr);
    }
    ~OwnerOnly() { LocalFree(descriptor_); }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;

    SECURITY_ATTRIBUTES* attributes() {
        attributes_ = {sizeof attributes_, descriptor_, FALSE};
        return descriptor_ ? &attributes_ : nullptr;
    }
    // Gives an existing file the same access list.
    bool apply(HANDLE file) const {
        BOOL present = FALSE, defaulted = FALSE;
        ACL* list = nullptr;
        if (!descriptor_ || !GetSecurityDescriptorDacl(descriptor_, &present, &list, &defaulted)) return false;
        return SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
    }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

OwnerOnly& ownerOnly() {
    static OwnerOnly descriptor;
    return descriptor;
}

bool isReparsePoint(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool driveIsReady(const std::string& path) {
    std::error_code ec;
    std::filesystem::path root = std::filesystem::absolute(pathOf(path), ec).root_path();
    if (ec || root.empty()) return false;
    std::wstring name = root.wstring();
    if (name.back() != L'\\') name += L'\\';
    if (GetDriveTypeW(name.c_str()) == DRIVE_NO_ROOT_DIR) return false;
    // A removable drive without its medium: ERROR_NOT_READY. The system's own dialog is not shown.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL read = GetVolumeInformationW(name.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    DWORD error = GetLastError();
    SetErrorMode(previous);
    return read || error != ERROR_NOT_READY;
}

EntryKind entryKind(const std::string& path) {
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

std::optional<std::string> fileIdentity(const std::string& path) {
    Handle file = handleOf(CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return std::to_string(info.dwVolumeSerialNumber) + " " +
           std::to_string((std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

std::FILE* openForReading(const std::string& path) { return _wfopen(wide(path).c_str(), L"rb"); }

std::FILE* openOwnerOnlyFile(const std::string& path, WriteMode mode, std::error_code& error) {
    DWORD creation = mode == WriteMode::CreateNew ? CREATE_NEW : mode == WriteMode::Replace ? CREATE_ALWAYS : OPEN_ALWAYS;
    DWORD access = mode == WriteMode::Append ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE;
    // The link itself is opened, never its target: then refused.
    HANDLE file = CreateFileW(wide(path).c_str(), access | READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              ownerOnly().attributes(), creation,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (isReparsePoint(file)) {
        CloseHandle(file);
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return nullptr;
    }
    // An existing file keeps its access list through the opening: make it
    // owner-only too. A device (a trace sent to NUL) is not ours to change.
    if (existed && GetFileType(file) == FILE_TYPE_DISK && !ownerOnly().apply(file)) {
        error = lastError();
        CloseHandle(file);
        return nullptr;
    }
    int flags = _O_WRONLY | _O_BINARY | (mode == WriteMode::Append ? _O_APPEND : 0);
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
    if (fd < 0) {
        error = std::make_error_code(std::errc::too_many_files_open);
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, mode == WriteMode::Append ? "ab" : "wb");
    if (!stream) {
        error = std::make_error_code(std::errc::too_many_files_open);
        _close(fd);
    }
    return stream;
}

bool createOwnerOnlyFolder(const std::string& path, std::error_code& error) {
    if (CreateDirectoryW(wide(path).c_str(), ownerOnly().attributes())) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) error = lastError();
    return false;
}

std::optional<std::string> createUniqueFolder(const std::string& parent, std::string_view prefix,
                                              std::error_code& error) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
        std::string folder = utf8Of(pathOf(parent) / pathOf(name));
        error.clear();
        if (createOwnerOnlyFolder(folder, error)) return folder;
        if (error) return std::nullopt;
    }
    error = std::make_error_code(std::errc::file_exists);
    return std::nullopt;
}

bool ownedByCurrentUser(const std::string& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    PSID user = currentUser();
    bool owned = user && EqualSid(owner, user);
    LocalFree(descriptor);
    return owned;
}

void flushToDisk(const std::string& path, std::error_code& error) {
    // A folder's entries are in the file system's journal: only files are flushed.
    if (entryKind(path) == EntryKind::Folder) return;
    Handle file = handleOf(CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !FlushFileBuffers(file.get())) error = lastError();
}

void moveReplacing(const std::string& from, const std::string& to, std::error_code& error) {
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = lastError();
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

std::string processStart(long pid) {
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return {};
    return std::to_string((std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime);
}

bool processExists(long pid) {
    if (pid <= 0) return false;
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;  // denied: someone else's, running
    DWORD code = 0;
    return !GetExitCodeProcess(process.get(), &code) || code == STILL_ACTIVE;
}

std::string libraryFileName(const std::string& name) { return name + ".dll"; }

void* loadLibrary(const std::string& path) {
    return reinterpret_cast<void*>(LoadLibraryExW(wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

namespace {

std::string moduleFile(HMODULE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return narrow(std::wstring_view(name.data(), length));
        name.resize(name.size() * 2);
    }
}

}  // namespace

std::string programPath() { return moduleFile(nullptr); }

std::optional<std::string> libraryHolding(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module) ||
        module == GetModuleHandleW(nullptr))
        return std::nullopt;
    std::string file = moduleFile(module);
    if (file.empty()) return std::nullopt;
    return file;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wideArguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wideArguments) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(narrow(wideArguments[i]));
    LocalFree(wideArguments);
    return arguments;
}

std::string environmentVariable(const char* name) {
    std::wstring wideName = wide(name);
    std::wstring value(64, L'\0');
    for (;;) {
        DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return "";
        if (length < value.size()) {
            value.resize(length);
            return narrow(value);
        }
        value.resize(length);  // the size it needs, its terminator included
    }
}

bool openInBrowser(const std::string& address) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool errorIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
}

void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

}  // namespace couloir::platform
