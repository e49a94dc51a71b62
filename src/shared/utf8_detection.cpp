#include "shared/utf8_detection.h"

#include "shared/cp1252.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace couloir {

bool Utf8Detector::feed(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t size = bytes.size();
    while (valid_ && i < size) {
        if (pending_ == 0) {
            i = firstNonAscii(bytes, i);
            if (i == size) break;
            auto b = static_cast<unsigned char>(bytes[i++]);
            if (b < 0x80) continue;
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

bool isUtf8File(const std::string& path, long offset) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file || std::fseek(file.get(), offset, SEEK_SET) != 0) return false;
    Utf8Detector detector;
    std::vector<char> buffer(std::size_t{1} << 20);
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get()))
        if (!detector.feed(std::string_view(buffer.data(), n))) return false;
    return detector.isUtf8();
}

}  // namespace couloir
