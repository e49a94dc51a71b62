#include "shared/interchange_writer.h"

#include "shared/interchange_encoding.h"
#include "shared/error.h"
#include "shared/private_files.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir {
namespace {
constexpr std::size_t kBufferBytes = std::size_t{1} << 20;
}  // namespace

InterchangeWriter::InterchangeWriter(const std::string& path, Mode mode, Trace* trace)
    : path_(path),
      file_(openPrivateFile(path, mode == Mode::Append ? WriteMode::Append : WriteMode::Replace)),
      trace_(trace) {
    buffer_.reserve(kBufferBytes + 1024);
}

InterchangeWriter::~InterchangeWriter() {
    if (!file_) return;
    // Leaving on an error: keep the lines written so far, as far as the disk allows.
    writeBuffer();
    closeFile();
}

void InterchangeWriter::writeLine(std::string_view text) {
    if (!file_) throw errors::invalidCall();
    appendInterchangeBytes(buffer_, text);
    buffer_ += CRLF;
    ++lines_;
    if (buffer_.size() >= kBufferBytes && !writeBuffer()) throw errors::diskFull(path_);
}

bool InterchangeWriter::writeBuffer() {
    std::size_t written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    bytes_ += static_cast<long long>(written);
    bool whole = written == buffer_.size();
    buffer_.clear();
    return whole;
}

bool InterchangeWriter::closeFile() {
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (trace_) trace_->reportWritten(path_, lines_, bytes_);
    return closed;
}

void InterchangeWriter::close() {
    if (!file_) return;
    bool written = writeBuffer();
    bool closed = closeFile();
    if (!written || !closed) throw errors::diskFull(path_);
}

}  // namespace couloir
