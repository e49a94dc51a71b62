// Whether an interchange file was saved as UTF-8 by a modern editor rather
// than in the federation's single-byte code page: valid UTF-8 throughout,
// with at least one multi-byte sequence (or a byte-order mark).
#pragma once

#include <string>
#include <string_view>

namespace couloir {

class Utf8Detector {
public:
    // Feeds the next bytes of the file; false once the bytes cannot be UTF-8.
    bool feed(std::string_view bytes);
    // After the last bytes: valid UTF-8 holding a multi-byte sequence.
    bool isUtf8() const { return valid_ && pending_ == 0 && multiByte_; }

private:
    bool valid_ = true;
    bool multiByte_ = false;
    int pending_ = 0;                        // continuation bytes still expected
    unsigned char low_ = 0x80, high_ = 0xBF;  // range of the next continuation byte
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Reads the file from byte `offset` to its end (or until it cannot be UTF-8).
bool isUtf8File(const std::string& path, long offset = 0);

}  // namespace couloir
