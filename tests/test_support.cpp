#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "shared/cp1252.h"
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

void createClubDatabase(const std::string& path) {
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

std::vector<std::string> queryRows(Database& db, const std::string& sql) {
    std::vector<std::string> result;
    db.forEachRow(sql, [&](const Row& row) {
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

}  // namespace couloir::test
