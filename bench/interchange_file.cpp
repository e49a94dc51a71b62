#include "interchange_file.h"

#include <stdexcept>

#include "shared/cp1252.h"

namespace couloir::bench {

InterchangeFile::InterchangeFile(const std::filesystem::path& path)
    : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
    if (!out_) throw std::runtime_error("cannot create " + path.string());
}

void InterchangeFile::write(std::string_view record) {
    out_ << encodeCp1252(record) << "\r\n";
    ++lines_;
}

void InterchangeFile::close() {
    out_.close();
    if (out_.fail()) throw std::runtime_error("cannot write " + path_.string());
}

}  // namespace couloir::bench
