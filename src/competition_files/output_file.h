// An interchange file being written: UTF-8 lines go out as Windows-1252
// bytes, each ended by CR LF. The file is closed when the object goes, on
// success and on failure alike.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace couloir::vandrule {

class OutputFile {
public:
    enum class Mode { Replace, Append };

    // Creates (or replaces, or opens for appending) the file; a file that
    // cannot be opened is a "path not found" error.
    OutputFile(const std::string& path, Mode mode);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void writeLine(std::string_view text);
    // Closes the file, reporting a failed final write.
    void close();

private:
    std::string path_;
    std::FILE* file_;
};

}  // namespace couloir::vandrule
