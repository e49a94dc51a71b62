#include "shared/utf8_detection.h"

#include <cstring>

#include "shared/cp1252.h"

namespace couloir {

bool Utf8Detector::feed(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t size = bytes.size();
    while (valid_ && i < size) {
        if (pending_ == 0) {
            i = firstNonAscii(bytes, i);
            if (i == size) break;
            auto b = static_cast<unsigned char>(bytes[i++]);
            multiByte_ = true;
            low_ = 0x80;
            high_ = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) pending_ = 1;
            else if (b >= 0xE0 && b <= 0xEF) {
                pending_ = 2;
                if (b == 0xE0) low_ = 0xA0;   // no overlong form
                if (b == 0xED) high_ = 0x9F;  // no surrogate
            } else if (b >= 0xF0 && b <= 0xF4) {
                pending_ = 3;
                if (b == 0xF0) low_ = 0x90;
                if (b == 0xF4) high_ = 0x8F;  // nothing past U+10FFFF
            } else {
                valid_ = false;
            }
        } else {
            auto b = static_cast<unsigned char>(bytes[i++]);
            if (b < low_ || b > high_) valid_ = false;
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
        }
    }
    return valid_;
}

namespace {
LineEncoding encodingOf(const Utf8Detector& detector) {
    if (!detector.sawNonAscii()) return LineEncoding::Ascii;
    return detector.isUtf8() ? LineEncoding::Utf8 : LineEncoding::SingleByte;
}
}  // namespace

LineEncoding lineEncoding(std::string_view line) {
    if (firstNonAscii(line) == line.size()) return LineEncoding::Ascii;
    Utf8Detector detector;
    detector.feed(line);
    return encodingOf(detector);
}

void FileEncodings::note(long lineNumber, LineEncoding encoding) {
    if (encoding == LineEncoding::Utf8 && firstUtf8 == 0) firstUtf8 = lineNumber;
    if (encoding == LineEncoding::SingleByte && firstSingleByte == 0) firstSingleByte = lineNumber;
}

void EncodingCensus::feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const void* found = std::memchr(bytes.data(), '\n', bytes.size());
        std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
        line_.feed(bytes.substr(0, end));
        lineOpen_ = true;
        if (!found) return;
        endLine();
        bytes.remove_prefix(end + 1);
    }
}

void EncodingCensus::endLine() {
    found_.note(++lineNumber_, encodingOf(line_));
    line_ = Utf8Detector();
    lineOpen_ = false;
}

const FileEncodings& EncodingCensus::finish() {
    if (lineOpen_) endLine();
    return found_;
}

}  // namespace couloir
