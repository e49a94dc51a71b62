// The individual performances of an export, read from the history in table
// order and kept in memory by swimmer. Walking them swimmer by swimmer in
// the export's order (club name, licence number) then spares the database
// a sort of the whole history and a random read per performance. Each
// swimmer's performances come by date, then by their values: an order of
// their own, not the storage's, so that every engine writes the same file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "perf_export/export_run.h"
#include "shared/database.h"

namespace couloir::plessaud {

class IndividualPerformances {
public:
    // A performance's values, formatted and cut as its line takes them.
    enum Value { kEpreuve, kBassin, kDate, kTemps, kLieu, kCodifFede, kCodifInter, kCodifReg, kCodifDepart,
                 kPassageRelais, kCount };
    using Values = std::array<std::string_view, kCount>;

    // Reads the performances of the swimmers the scope takes.
    IndividualPerformances(Database& db, const ExportScope& scope);

    // The number of performance lines the export writes: each swimmer's
    // performances, once per row of his among the exported swimmers.
    std::int64_t lineCount(Database& db, const ExportScope& scope) const;

    bool has(std::int64_t num) const;
    // Calls onPerformance(const Values&) for each performance of the
    // swimmer, by date then by values.
    template <typename OnPerformance>
    void forEachOf(std::int64_t num, OnPerformance&& onPerformance) const {
        Values values;
        for (auto entry = first(num); entry != entries_.end() && entry->num == num; ++entry) {
            decode(entry->offset, values);
            onPerformance(values);
        }
    }

private:
    struct Entry {
        std::int64_t num;     // the swimmer's Licence.Num
        std::uint32_t day;    // the performance's date as yyyymmdd; 0 when it has none
        std::size_t offset;   // where the performance's values start in the store
    };

    void add(std::int64_t num, std::uint32_t day, const Values& values);
    // A performance's values as the store holds them, each after its length.
    std::string_view stored(std::size_t offset) const;
    std::vector<Entry>::const_iterator first(std::int64_t num) const;
    void decode(std::size_t offset, Values& values) const;

    // The values of every performance, one after the other, each preceded
    // by its length in bytes, in blocks of a fixed size that a performance
    // never straddles: the store grows without copying what it holds.
    std::vector<std::string> blocks_;
    std::vector<Entry> entries_;  // by swimmer, then by date and values
};

// A whole number read from a field, as Licence.Num and Liffn.Num_Lic hold
// it; false when the field holds none.
bool readNum(std::string_view text, std::int64_t& num);

}  // namespace couloir::plessaud
