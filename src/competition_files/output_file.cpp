#include "competition_files/output_file.h"

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {
Error diskFull(const std::string& path) { return Error(61, "Disque plein : " + path); }
}  // namespace

OutputFile::OutputFile(const std::string& path, Mode mode)
    : path_(path), file_(std::fopen(path.c_str(), mode == Mode::Append ? "ab" : "wb")) {
    if (!file_) throw errors::pathNotFound(path);
}

OutputFile::~OutputFile() {
    if (file_) std::fclose(file_);
}

void OutputFile::writeLine(std::string_view text) {
    std::string bytes = encodeCp1252(text);
    bytes += CRLF;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) throw diskFull(path_);
}

void OutputFile::close() {
    if (!file_) return;
    int status = std::fclose(file_);
    file_ = nullptr;
    if (status != 0) throw diskFull(path_);
}

}  // namespace couloir::vandrule
