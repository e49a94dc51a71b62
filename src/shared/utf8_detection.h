// How the lines of an interchange file are decoded. Files come in the
// federation's single-byte code page, or saved again as UTF-8 by a modern
// editor, and now and then as a mix of both when lines were pasted from
// another file: each line is read in its own encoding.
#pragma once

#include <string>
#include <string_view>

namespace couloir {

class Utf8Detector {
public:
    // Feeds the next bytes; false once the bytes cannot be UTF-8.
    bool feed(std::string_view bytes);
    // After the last bytes: valid UTF-8 holding a multi-byte sequence.
    bool isUtf8() const { return valid_ && pending_ == 0 && multiByte_; }
    // Whether any byte fed was not ASCII.
    bool sawNonAscii() const { return multiByte_; }

private:
    bool valid_ = true;
    bool multiByte_ = false;
    int pending_ = 0;                        // continuation bytes still expected
    unsigned char low_ = 0x80, high_ = 0xBF;  // range of the next continuation byte
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Plain ASCII reads alike in both encodings; a line that is valid UTF-8 and
// holds a multi-byte sequence is UTF-8; any other is Windows-1252 (with the
// DOS accented letters where the reader converts them).
enum class LineEncoding { Ascii, Utf8, SingleByte };
LineEncoding lineEncoding(std::string_view line);

// The first line of each encoding met in a file, numbered from 1 (0: none).
struct FileEncodings {
    long firstUtf8 = 0, firstSingleByte = 0;

    void note(long lineNumber, LineEncoding encoding);
    bool savedAsUtf8() const { return firstUtf8 != 0 && firstSingleByte == 0; }
    bool mixed() const { return firstUtf8 != 0 && firstSingleByte != 0; }
};

// Follows a file's bytes, in chunks of any size, and tells the encoding of
// each of its lines as lineEncoding would.
class EncodingCensus {
public:
    void feed(std::string_view bytes);
    // After the last bytes: a last line without its line end counts too.
    const FileEncodings& finish();

private:
    void endLine();

    Utf8Detector line_;
    bool lineOpen_ = false;
    long lineNumber_ = 0;
    FileEncodings found_;
};

}  // namespace couloir
