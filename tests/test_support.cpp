#include "test_support.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "shared/change_counts.h"
#include "shared/cp1252.h"
#include "shared/pq_handles.h"
#include "shared/text_date.h"

namespace fs = std::filesystem;

namespace couloir::test {

ScratchDir::ScratchDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("couloir-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ScratchDir::sub(const std::string& name) const {
    fs::create_directories(path_ / name);
    return (path_ / name).string();
}

std::string clubDatabaseScript() {
    return readBytes(COULOIR_SOURCE_DIR "/db/schema.sql") + "\n" + readBytes(COULOIR_SOURCE_DIR "/db/reference.sql");
}

namespace {

// Runs a script (several statements) on a server database.
void runServerScript(const std::string& uri, const std::string& script) {
    PgConnection connection(PQconnectdb(uri.c_str()));
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error("cannot connect to " + uri + ": " + PQerrorMessage(connection.get()));
    PgResult result(PQexec(connection.get(), script.c_str()));
    ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("script failed on " + uri + ": " + PQerrorMessage(connection.get()));
}

// A new club database on the test server, copied from a template made once.
std::string createServerDatabase(const std::string& server) {
    static int made = 0;
    static bool templateMade = false;
    std::string prefix = "t" + std::to_string(::getpid()) + "_";
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
        fs::copy_file(from, path);
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void resaveAsUtf8(const std::string& folder, bool byteOrderMark) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string text = decodeCp1252(strConvertirAccents(readBytes(entry.path().string())));
        writeBytes(entry.path().string(), (byteOrderMark ? "\xEF\xBB\xBF" : "") + text);
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

FixedNow::FixedNow(const char* moment) { setenv("COULOIR_NOW", moment, 1); }
FixedNow::~FixedNow() { unsetenv("COULOIR_NOW"); }

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

CommandRun runCouloir(const std::string& arguments, const std::string& environment) {
    std::string command = environment + " " + COULOIR_BUILD_DIR "/bin/couloir " + arguments + " 2>&1";
    CommandRun run{0, {}};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    run.status = WEXITSTATUS(pclose(pipe));
    return run;
}

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
