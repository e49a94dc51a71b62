// Writes an interchange file as the federation's software does: one record
// per line, Windows-1252 bytes, each line ended by CR LF.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace couloir::bench {

class InterchangeFile {
public:
    // Creates or truncates the file; a file that cannot be created is an error.
    explicit InterchangeFile(const std::filesystem::path& path);
    // Writes one record given as UTF-8 text.
    void write(std::string_view record);
    // Flushes the file; a failed write is an error.
    void close();
    std::int64_t lines() const { return lines_; }

private:
    std::filesystem::path path_;
    std::ofstream out_;
    std::int64_t lines_ = 0;
};

}  // namespace couloir::bench
