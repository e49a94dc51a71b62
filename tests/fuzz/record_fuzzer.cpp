// The fixed-width cut and record: any widths, any text.
#include <algorithm>
#include <cstdint>
#include <numeric>

#include "fuzz_support.h"
#include "shared/cp1252.h"
#include "shared/fixed_record.h"
#include "shared/interchange_encoding.h"
#include "shared/text_date.h"

using namespace couloir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first bytes are the widths (up to 8 fields), the rest the text.
    std::size_t fieldCount = data[0] % 8 + 1;
    if (size < 1 + fieldCount) return 0;
    Widths widths;
    for (std::size_t i = 0; i < fieldCount; ++i) widths.push_back(static_cast<int>(data[1 + i] % 40) - 2);
    std::string text = decodeCp1252(fuzz::bytesOf(data + 1 + fieldCount, size - 1 - fieldCount));

    std::vector<std::string> fields = cutFields(text, widths);
    fuzz::require(fields.size() == widths.size(), "one field per width");
    FixedRecord record(widths);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fuzz::require(static_cast<int>(charCount(fields[i])) <= std::max(widths[i], 0), "a field fits its width");
        if (i % 2) record.right(static_cast<int>(i), fields[i]);
        else record.left(static_cast<int>(i), fields[i]);
    }
    int total = std::accumulate(widths.begin(), widths.end(), 0, [](int sum, int w) { return sum + std::max(w, 0); });
    fuzz::require(static_cast<int>(charCount(record.text())) == total, "a record is exactly as wide as its layout");
    // A record cut again gives the fields it was made of, as the writers
    // put them: replaced for the interchange files, cut to the width, trimmed.
    std::vector<std::string> again = cutFields(record.text(), widths);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string written = interchangeText(fields[i]);
        std::string_view fitted = charSubstr(written, 0, static_cast<std::size_t>(std::max(widths[i], 0)));
        fuzz::require(again[i] == trim(fitted), "cut, written and cut again alike");
    }
    return 0;
}
