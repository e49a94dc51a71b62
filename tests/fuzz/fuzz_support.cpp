#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shared/database.h"

namespace couloir::fuzz {
namespace {

std::string readSource(const char* relative) {
    std::ifstream in(std::string(COULOIR_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

const std::string& scratchFolder() {
    // Never destroyed: the handler that removes the folder at exit still reads it.
    static const std::string* folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "couloir-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        auto* kept = new std::string(pattern);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*folder, ec);
        });
        return kept;
    }();
    return *folder;
}

std::string writeScratchFile(const std::string& name, std::string_view bytes) {
    std::string path = scratchFolder() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string createScratchDatabase(const std::string& name) {
    std::string path = scratchFolder() + "/" + name;
    std::filesystem::remove(path);
    createDatabase(path, readSource("db/schema.sql") + "\n" + readSource("db/reference.sql"));
    return path;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

}  // namespace couloir::fuzz
