// Fixtures shared by the tests: fresh club databases, scratch folders,
// interchange files written in Windows-1252, traces read back as UTF-8.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "shared/connection.h"
#include "shared/database.h"

namespace couloir::test {

// A scratch folder removed at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const;
    std::string sub(const std::string& name) const;  // creates the subfolder

private:
    std::filesystem::path path_;
};

// The schema and reference rows of a new club database.
std::string clubDatabaseScript();
// The test server's base URI in a server run (COULOIR_TEST_POSTGRES, set by
// tests/postgres/cluster.sh), else null.
const char* testServer();
// A new club database for a test, and the name to give the commands and
// helpers: the file `path`, or in a server run a new database of the server.
std::string createClubDatabase(const std::string& path);
// A copy of the database `from`, named like it: the file `path`, or a new
// database of the same server.
std::string copyClubDatabase(const std::string& from, const std::string& path);
// A new club database file at `path`, whatever the run.
void createClubDatabaseFile(const std::string& path);

// Writes UTF-8 lines as a Windows-1252 file, each line ended by CR LF.
void writeInterchangeFile(const std::string& path, const std::vector<std::string>& lines);
// Writes raw bytes.
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
// Whether only the current user may open the file or folder: mode 0600 or
// 0700 on POSIX; on Windows, an access list that lets in its user alone.
bool isOwnerOnly(const std::string& path);
// Sets when a file or folder was last written to `age` ago.
void makeOlder(const std::string& path, std::chrono::hours age);
// Saves every file of a folder again as a modern editor would: UTF-8 (the
// DOS accents and Windows-1252 decoded), with a byte-order mark when asked.
void resaveAsUtf8(const std::string& folder, bool byteOrderMark);
// A Windows-1252 file as UTF-8 lines (CR LF removed).
std::vector<std::string> readLines(const std::string& path);

// The lines of a file, joined with "\n", for whole-text comparisons.
std::string readText(const std::string& path);

// A string padded or cut to `width` characters.
std::string pad(const std::string& text, int width);

// Sets or removes a variable of the test's own environment (the components
// it loads and the programs it starts see it).
void setEnvironment(const char* name, const std::string& value);
void unsetEnvironment(const char* name);

// Sets COULOIR_NOW for the life of the object.
class FixedNow {
public:
    explicit FixedNow(const char* moment);
    ~FixedNow();
};

// The rows of a query, one text per row, fields joined by "|", Null read "NULL".
std::vector<std::string> queryRows(Database& db, const std::string& sql);
// A test's own fixed statement, without values; the table it changes read
// from its first words, as a host's statement.
Statement sql(std::string_view text);
// A text as a literal of a test's statement: 'O''Neil'.
std::string literal(std::string_view text);

// Every row of every table but Info (the open/closed mark), table by table
// (names in lower case), each table's rows sorted, for "nothing changed"
// comparisons and comparisons between engines.
std::vector<std::string> contentOf(const std::string& path);

// Runs a script of several statements on a database (created when missing),
// as the sqlite3 shell would.
void runScript(const std::string& path, const std::string& script);

// The file whose writes are thrown away, and the variable naming the
// temporary folder (std::filesystem::temp_directory_path).
#ifdef _WIN32
inline constexpr char kNullDevice[] = "NUL";
inline constexpr char kTempFolderVariable[] = "TMP";
#else
inline constexpr char kNullDevice[] = "/dev/null";
inline constexpr char kTempFolderVariable[] = "TMPDIR";
#endif

// Whether the test runs under Wine rather than on Linux or Windows itself.
bool runsUnderWine();

// A program of the build (bin/), by its name without extension.
std::string builtProgram(const std::string& name);

// A run of a program: its exit status and what it printed.
struct CommandRun {
    int status;
    std::string output;
};
// Runs `program` with `arguments` (stderr joined to stdout), after the
// `environment` assignments (VAR=value ...) when given. Arguments are
// separated by spaces and never quoted.
CommandRun runProgram(const std::string& program, const std::string& arguments, const std::string& environment = {});
// Runs the built couloir.
CommandRun runCouloir(const std::string& arguments, const std::string& environment = {});

#ifdef _WIN32
// A program started without a shell, its standard output and error on one
// pipe and the `environment` assignments added to the test's own. Ended, if
// still running, when the object goes.
class StartedProgram {
public:
    StartedProgram(const std::string& program, const std::string& arguments, const std::string& environment);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // What it printed next; "" once its output is closed.
    std::string read();
    // Stops reading what it prints.
    void closeOutput();
    // Waits for its end: its exit status.
    int wait();
    void* process() const { return process_; }

private:
    void* process_ = nullptr;
    void* output_ = nullptr;
};
#endif

// Opens a database for direct checks.
std::unique_ptr<Database> openForCheck(const std::string& path);

}  // namespace couloir::test
