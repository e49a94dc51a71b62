#include "test_support.h"

#include <sqlite3.h>
#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#else
#include <libpq-fe.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>

#include "shared/change_counts.h"
#include "shared/cp1252.h"
#include "shared/platform.h"
#include "shared/text_date.h"
#ifndef _WIN32
#include "shared/pq_handles.h"
#endif

namespace fs = std::filesystem;

namespace couloir::test {

using platform::pathOf;
using platform::utf8Of;
#ifdef _WIN32
using platform::wide;
#endif

ScratchDir::ScratchDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("couloir-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ScratchDir::file(const std::string& name) const { return utf8Of(path_ / pathOf(name)); }

std::string ScratchDir::sub(const std::string& name) const {
    fs::create_directories(path_ / pathOf(name));
    return file(name);
}

std::string clubDatabaseScript() {
    return readBytes(COULOIR_SOURCE_DIR "/db/schema.sql") + "\n" + readBytes(COULOIR_SOURCE_DIR "/db/reference.sql");
}

namespace {

// Runs a script (several statements) on a server database.
#ifdef _WIN32
[[noreturn]] void runServerScript(const std::string& uri, const std::string&) {
    throw std::runtime_error("no PostgreSQL client on Windows: " + uri);
}
#else
void runServerScript(const std::string& uri, const std::string& script) {
    PgConnection connection(PQconnectdb(uri.c_str()));
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error("cannot connect to " + uri + ": " + PQerrorMessage(connection.get()));
    PgResult result(PQexec(connection.get(), script.c_str()));
    ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("script failed on " + uri + ": " + PQerrorMessage(connection.get()));
}
#endif

// A new club database on the test server, copied from a template made once.
std::string createServerDatabase(const std::string& server) {
    static int made = 0;
    static bool templateMade = false;
    std::string prefix = "t" + std::to_string(platform::currentProcessId()) + "_";
    if (!templateMade) {
        runServerScript(server + "postgres", "CREATE DATABASE " + prefix + "template");
        createDatabase(server + prefix + "template", clubDatabaseScript());
        templateMade = true;
    }
    std::string name = prefix + std::to_string(++made);
    runServerScript(server + "postgres", "CREATE DATABASE " + name + " TEMPLATE " + prefix + "template");
    return server + name;
}

}  // namespace

const char* testServer() { return std::getenv("COULOIR_TEST_POSTGRES"); }

std::string createClubDatabase(const std::string& path) {
    if (const char* server = testServer()) return createServerDatabase(server);
    createClubDatabaseFile(path);
    return path;
}

std::string copyClubDatabase(const std::string& from, const std::string& path) {
    if (!isServerDatabase(from)) {
        fs::copy_file(pathOf(from), pathOf(path));
        return path;
    }
    static int copies = 0;
    std::size_t slash = from.rfind('/');
    std::string name = from.substr(slash + 1) + "_copy" + std::to_string(++copies);
    runServerScript(from.substr(0, slash + 1) + "postgres", "CREATE DATABASE " + name + " TEMPLATE " + from.substr(slash + 1));
    return from.substr(0, slash + 1) + name;
}

void createClubDatabaseFile(const std::string& path) {
    static const std::string script = clubDatabaseScript();
    createDatabase(path, script);
}

void writeInterchangeFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += encodeCp1252(line) + "\r\n";
    writeBytes(path, bytes);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef _WIN32
bool isOwnerOnly(const std::string& path) {
    if (!platform::ownedByCurrentUser(path)) return false;
    PSID owner = nullptr;
    ACL* list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, decltype(&LocalFree)> freed(descriptor, &LocalFree);
    if (!list || list->AceCount == 0) return false;
    // Wine keeps no access list but one made from the file's Unix mode, the
    // system's account beside the owner; anyone else let in is a fault.
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry))) return false;
        if (entry->Header.AceType == ACCESS_DENIED_ACE_TYPE) continue;
        if (entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
        PSID sid = &entry->SidStart;
        if (!EqualSid(sid, owner) && !IsWellKnownSid(sid, WinLocalSystemSid)) return false;
    }
    return true;
}

// std::filesystem cannot set a folder's time on Windows: the handle must be opened for backups.
void makeOlder(const std::string& path, std::chrono::hours age) {
    HANDLE file = CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // FILETIME counts tenths of microseconds.
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::microseconds>(age).count()) * 10;
    FILETIME written{time.LowPart, time.HighPart};
    BOOL set = SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    if (!set) throw std::runtime_error("cannot set the time of " + path);
}
#else
bool isOwnerOnly(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return (info.st_mode & 0777) == (S_ISDIR(info.st_mode) ? 0700u : 0600u);
}

void makeOlder(const std::string& path, std::chrono::hours age) {
    fs::last_write_time(pathOf(path), fs::file_time_type::clock::now() - age);
}
#endif

void resaveAsUtf8(const std::string& folder, bool byteOrderMark) {
    for (const auto& entry : std::filesystem::directory_iterator(pathOf(folder))) {
        std::string file = utf8Of(entry.path());
        std::string text = decodeCp1252(strConvertirAccents(readBytes(file)));
        writeBytes(file, (byteOrderMark ? "\xEF\xBB\xBF" : "") + text);
    }
}

std::vector<std::string> readLines(const std::string& path) {
    std::string text = decodeCp1252(readBytes(path));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find('\n', start)) != std::string::npos; start = pos + 1) {
        std::string line = text.substr(start, pos - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string readText(const std::string& path) {
    std::string joined;
    for (const auto& line : readLines(path)) joined += line + "\n";
    return joined;
}

std::string pad(const std::string& text, int width) { return strCadrerGauche(text, width); }

#ifdef _WIN32
// _wputenv_s also sets the process's environment, which started programs inherit.
void setEnvironment(const char* name, const std::string& value) { _wputenv_s(wide(name).c_str(), wide(value).c_str()); }
void unsetEnvironment(const char* name) { _wputenv_s(wide(name).c_str(), L""); }
#else
void setEnvironment(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void unsetEnvironment(const char* name) { unsetenv(name); }
#endif

FixedNow::FixedNow(const char* moment) { setEnvironment("COULOIR_NOW", moment); }
FixedNow::~FixedNow() { unsetEnvironment("COULOIR_NOW"); }

Statement sql(std::string_view text) { return Statement::written(text, statementTarget(text)); }

std::string literal(std::string_view text) { return literalOf(FieldValue(std::string(text))); }

std::vector<std::string> queryRows(Database& db, const std::string& sql) {
    std::vector<std::string> result;
    db.forEachRow(Statement(sql), [&](const Row& row) {
        std::string joined;
        for (int i = 0; i < row.fieldCount(); ++i) joined += (i ? "|" : "") + (row.isNull(i) ? "NULL" : row.text(i));
        result.push_back(joined);
        return true;
    });
    return result;
}

std::unique_ptr<Database> openForCheck(const std::string& path) {
    return openDatabase(path, DatabaseOptions{NullText::Empty});
}

std::vector<std::string> contentOf(const std::string& path) {
    auto db = openForCheck(path);
    std::vector<std::string> content;
    for (const std::string& table : db->tableNames()) {
        if (equalsNoCase(table, "Info")) continue;
        // Sorted: the order rows come in is the engine's own.
        std::vector<std::string> rows = queryRows(*db, "SELECT * FROM " + table);
        std::sort(rows.begin(), rows.end());
        for (const std::string& row : rows) content.push_back(toLowerAscii(table) + ": " + row);
    }
    return content;
}

#ifdef _WIN32
bool runsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }
#else
bool runsUnderWine() { return false; }
#endif

std::string builtProgram(const std::string& name) { return COULOIR_BUILD_DIR "/bin/" + name; }

CommandRun runCouloir(const std::string& arguments, const std::string& environment) {
    return runProgram(builtProgram("couloir"), arguments, environment);
}

#ifdef _WIN32
namespace {

// The test's environment with the `assignments` (VAR=value ...) added or
// replacing, as CreateProcessW takes it.
std::wstring environmentWith(const std::string& assignments) {
    std::vector<std::wstring> added;
    std::istringstream words(assignments);
    for (std::string word; words >> word;) added.push_back(wide(word));
    // Names are compared without case; the drives' own entries start with '='.
    auto nameOf = [](std::wstring_view entry) { return entry.substr(0, entry.find(L'=', 1)); };
    auto sameName = [&](std::wstring_view a, std::wstring_view b) {
        return nameOf(a).size() == nameOf(b).size() && _wcsnicmp(a.data(), b.data(), nameOf(a).size()) == 0;
    };
    std::wstring block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1)
        if (std::none_of(added.begin(), added.end(), [&](const std::wstring& a) { return sameName(a, entry); }))
            block.append(entry) += L'\0';
    FreeEnvironmentStringsW(current);
    for (const std::wstring& assignment : added) block.append(assignment) += L'\0';
    return block += L'\0';
}

}  // namespace

StartedProgram::StartedProgram(const std::string& program, const std::string& arguments,
                               const std::string& environment) {
    // One start at a time: another program started meanwhile would inherit
    // this pipe's end and keep it open.
    static std::mutex starting;
    std::lock_guard lock(starting);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) throw std::runtime_error("cannot make a pipe for " + program);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    std::wstring commandLine = L"\"" + wide(program) + L"\" " + wide(arguments);
    std::wstring block = environmentWith(environment);
    PROCESS_INFORMATION started{};
    BOOL ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                             block.data(), nullptr, &startup, &started);
    CloseHandle(write);
    if (!ok) {
        CloseHandle(read);
        throw std::runtime_error("cannot start " + program);
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    output_ = read;
}

StartedProgram::~StartedProgram() {
    closeOutput();
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
    }
    CloseHandle(process_);
}

std::string StartedProgram::read() {
    char buffer[4096];
    DWORD got = 0;
    if (!output_ || !ReadFile(output_, buffer, sizeof buffer, &got, nullptr)) return {};
    return std::string(buffer, got);
}

void StartedProgram::closeOutput() {
    if (output_) CloseHandle(output_);
    output_ = nullptr;
}

int StartedProgram::wait() {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

CommandRun runProgram(const std::string& program, const std::string& arguments, const std::string& environment) {
    StartedProgram started(program, arguments, environment);
    CommandRun run{0, {}};
    for (std::string part; !(part = started.read()).empty();) run.output += part;
    run.status = started.wait();
    // Read as a text-mode pipe (_popen's) reads it: lines end with "\n".
    for (std::size_t at = 0; (at = run.output.find("\r\n", at)) != std::string::npos;) run.output.erase(at, 1);
    return run;
}
#else
CommandRun runProgram(const std::string& program, const std::string& arguments, const std::string& environment) {
    std::string command = environment + " " + program + " " + arguments + " 2>&1";
    CommandRun run{0, {}};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    run.status = WEXITSTATUS(pclose(pipe));
    return run;
}
#endif

void runScript(const std::string& path, const std::string& script) {
    if (isServerDatabase(path)) {
        runServerScript(path, script);
        return;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    char* message = nullptr;
    int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &message);
    std::string error = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("script failed on " + path + ": " + error);
}

}  // namespace couloir::test
