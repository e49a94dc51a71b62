// The line decoder: Windows-1252 and the DOS accents, UTF-8 detection, the
// reader of lines, and the interchange encoding of what the writers put out.
#include <algorithm>
#include <cstdint>

#include "fuzz_support.h"
#include "shared/cp1252.h"
#include "shared/files.h"
#include "shared/interchange_encoding.h"
#include "shared/text_date.h"
#include "shared/utf8_detection.h"

using namespace couloir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytesOf(data, size);

    std::string decoded = decodeCp1252(bytes);
    fuzz::require(encodeCp1252(decoded) == bytes, "Windows-1252 decodes and encodes back byte for byte");
    fuzz::require(strConvertirAccents(bytes).size() == bytes.size(), "DOS accents replace bytes one for one");

    // What the writers make of any text reads back as it was written.
    std::string written = interchangeText(decoded);
    fuzz::require(!needsInterchangeText(written), "interchange text is stable");
    std::string out;
    appendInterchangeBytes(out, decoded);
    for (char c : out) {
        auto b = static_cast<unsigned char>(c);
        fuzz::require(b < 129 || b > 151, "no DOS accent code is written");
    }
    fuzz::require(decodeCp1252(out) == written, "the written bytes are the interchange text");

    // Split across two feeds, the detector says what it says in one.
    Utf8Detector whole, split;
    whole.feed(bytes);
    split.feed(bytes.substr(0, size / 2));
    split.feed(bytes.substr(size / 2));
    fuzz::require(whole.isUtf8() == split.isUtf8(), "detection does not depend on the chunks");

    // The reader gives every line of the file, in UTF-8, each decoded in its
    // own encoding, as the census of the working copy foretold.
    std::string path = fuzz::writeScratchFile("lines.txt", bytes);
    LineReader reader(path);
    std::string line;
    std::size_t lines = 0, start = 0;
    while (reader.next(line, true)) {
        ++lines;
        fuzz::require(charSubstr(line, 0, charCount(line)).size() == line.size(), "a line is whole characters");
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view raw = bytes.substr(start, end - start);
        start = end + 1;
        while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        LineEncoding encoding = lineEncoding(raw);
        if (lines == 1 && raw.starts_with(kUtf8ByteOrderMark)) raw.remove_prefix(kUtf8ByteOrderMark.size());
        std::string expected = encoding == LineEncoding::SingleByte ? decodeCp1252(strConvertirAccents(raw)) : std::string(raw);
        fuzz::require(line == expected, "a line reads in its own encoding");
        bool control = std::any_of(line.begin(), line.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
        });
        fuzz::require(reader.isText() != control, "a line holding a control character is refused, and only such a line");
    }
    fuzz::require(lines <= static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1,
                  "no more lines than line ends");
    if (bytes.find('\x1A') == std::string_view::npos) {
        EncodingCensus census;
        census.feed(bytes.substr(0, size / 3));
        census.feed(bytes.substr(size / 3));
        const FileEncodings& copied = census.finish();
        fuzz::require(copied.firstUtf8 == reader.encodings().firstUtf8 &&
                          copied.firstSingleByte == reader.encodings().firstSingleByte,
                      "the copy's census sees each line as the reader reads it");
    }
    return 0;
}
