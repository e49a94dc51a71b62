#include "perf_export/individual_performances.h"

#include <algorithm>
#include <charconv>

#include "perf_export/export_files.h"
#include "perf_export/export_queries.h"
#include "perf_export/field_formats.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"

namespace couloir::plessaud {
namespace {

// Each value's field in the performance line, whose width it is cut to.
constexpr std::array<int, IndividualPerformances::kCount> kFields = {
    kPerfEpreuve, kPerfBassin, kPerfDate, kPerfTemps, kPerfLieu, kPerfCodifFede, kPerfCodifInter, kPerfCodifReg,
    kPerfCodifDepart, kPerfPassageRelais};

constexpr std::size_t kBlockBytes = std::size_t{1} << 22;

// The most bytes one performance takes in the store: a length byte and up
// to four bytes per character of each field.
std::size_t maxPerformanceBytes() {
    std::size_t bytes = 0;
    for (int field : kFields) bytes += 1 + 4 * static_cast<std::size_t>(kLiffnWidths[field]);
    return bytes;
}

}  // namespace

bool readNum(std::string_view text, std::int64_t& num) {
    text = trim(text);
    auto result = std::from_chars(text.data(), text.data() + text.size(), num);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

IndividualPerformances::IndividualPerformances(Database& db, const ExportScope& scope) {
    std::array<std::string, kCount> texts;
    Values values;
    db.forEachRow(performancesQuery(scope), [&](const Row& row) {
        std::int64_t num = 0;
        if (!readNum(row.text(kPrfNum), num)) return true;  // joins no swimmer
        texts[kEpreuve] = zeroPadded(fieldText(row, kPrfEpreuve), 2);
        texts[kBassin] = poolLength(fieldText(row, kPrfBassin));
        texts[kDate] = strAaaammjjVersJjmmaaaa(fieldText(row, kPrfDatePerf));
        texts[kTemps] = fourDecimalTime(fieldText(row, kPrfTemps));
        for (int value = kLieu; value < kCount; ++value) texts[value] = row.text(kPrfLieu + value - kLieu);
        for (std::size_t value = 0; value < kCount; ++value) values[value] = texts[value];
        std::uint32_t day = 0;
        std::string dateText = fieldText(row, kPrfDatePerf);
        std::string_view date = trim(dateText);
        if (date.size() != 8 || std::from_chars(date.data(), date.data() + 8, day).ptr != date.data() + 8) day = 0;
        add(num, day, values);
        return true;
    });
    // Two performances with the same values write the same line: which comes first does not show.
    std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
        if (a.num != b.num) return a.num < b.num;
        if (a.day != b.day) return a.day < b.day;
        return stored(a.offset) < stored(b.offset);
    });
}

std::string_view IndividualPerformances::stored(std::size_t offset) const {
    std::string_view block = blocks_[offset / kBlockBytes];
    std::size_t start = offset % kBlockBytes, position = start;
    for (std::size_t value = 0; value < kCount; ++value) position += 1 + static_cast<unsigned char>(block[position]);
    return block.substr(start, position - start);
}

void IndividualPerformances::add(std::int64_t num, std::uint32_t day, const Values& values) {
    static const std::size_t maxBytes = maxPerformanceBytes();
    if (blocks_.empty() || blocks_.back().size() + maxBytes > kBlockBytes) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlockBytes);
    }
    std::string& block = blocks_.back();
    entries_.push_back({num, day, (blocks_.size() - 1) * kBlockBytes + block.size()});
    for (std::size_t value = 0; value < kCount; ++value) {
        auto width = static_cast<std::size_t>(kLiffnWidths[kFields[value]]);
        std::string_view kept = charSubstr(trim(values[value]), 0, width);
        kept = kept.substr(0, 4 * width);  // however malformed the text, its length fits the length byte
        block += static_cast<char>(kept.size());
        block.append(kept);
    }
}

std::int64_t IndividualPerformances::lineCount(Database& db, const ExportScope& scope) const {
    std::int64_t count = 0;
    db.forEachRow(swimmerNumsQuery(scope), [&](const Row& row) {
        std::int64_t num = 0;
        if (readNum(row.text(0), num)) {
            auto entry = first(num);
            while (entry != entries_.end() && entry->num == num) ++entry, ++count;
        }
        return true;
    });
    return count;
}

bool IndividualPerformances::has(std::int64_t num) const {
    auto entry = first(num);
    return entry != entries_.end() && entry->num == num;
}

std::vector<IndividualPerformances::Entry>::const_iterator IndividualPerformances::first(std::int64_t num) const {
    return std::lower_bound(entries_.begin(), entries_.end(), num,
                            [](const Entry& entry, std::int64_t wanted) { return entry.num < wanted; });
}

void IndividualPerformances::decode(std::size_t offset, Values& values) const {
    std::string_view block = blocks_[offset / kBlockBytes];
    std::size_t position = offset % kBlockBytes;
    for (auto& value : values) {
        auto size = static_cast<unsigned char>(block[position]);
        value = block.substr(position + 1, size);
        position += 1 + size;
    }
}

}  // namespace couloir::plessaud
