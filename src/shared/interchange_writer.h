// An interchange file being written: UTF-8 lines go out as Windows-1252
// bytes the readers read back the same (interchange_encoding.h), each ended
// by CR LF, gathered in a large buffer. The file is closed
// when the object goes, on success and on failure alike, keeping the lines
// written so far; close() reports a failed write as a "disk full" error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace couloir {

class Trace;

// The producing application that origine.txt names in the files Couloir writes.
inline constexpr const char* kProducingApplication = "Lorvantide";

class InterchangeWriter {
public:
    enum class Mode { Replace, Append };

    // Creates (or replaces, or opens for appending) the file, owner-only and
    // never through a symbolic link; a file that cannot be opened is an error
    // naming it. With a trace, the file's lines and bytes are reported there
    // when it closes.
    InterchangeWriter(const std::string& path, Mode mode, Trace* trace = nullptr);
    ~InterchangeWriter();
    InterchangeWriter(const InterchangeWriter&) = delete;
    InterchangeWriter& operator=(const InterchangeWriter&) = delete;

    void writeLine(std::string_view text);
    // Writes the buffered lines and closes the file.
    void close();

private:
    // Writes the buffer out and empties it; false when the disk took less.
    bool writeBuffer();

    // Closes the file and reports what this writer put in it.
    bool closeFile();

    std::string path_;
    std::FILE* file_;
    Trace* trace_;
    std::string buffer_;
    long long lines_ = 0, bytes_ = 0;
};

}  // namespace couloir
