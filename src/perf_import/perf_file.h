// The reading of liffn.txt: each line's club and swimmer found or created,
// and one staging row (Num_compet -1) written per performance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "perf_import/perf_record.h"
#include "perf_import/perf_run.h"

namespace couloir::tessimor {

// The Num_compet of the rows not yet attached to a competition.
inline constexpr std::int64_t kStagingCompetition = -1;

// Reads liffn.txt, advancing the progress bar by `increment` per line, then
// writes the summary. False when the file was stopped by an error: every
// staging row written is then to be deleted.
bool bImporterPerfs(PerfRun& run, double increment);

// One liffn.txt file being read.
class PerformanceFile {
public:
    // `reference` is the Num of the reference swimmer, who fills the empty
    // and unknown relay slots.
    PerformanceFile(PerfRun& run, std::string reference) : run_(run), reference_(std::move(reference)) {}

    struct Counts {
        long lines = 0, individual = 0, relay = 0, clubsAdded = 0;
    } n;

    // Handles line number `lineNumber`; false when it stops the file, with `message` set.
    bool handleLine(std::string_view line, long lineNumber, std::string& message);
    void writeSummary();

private:
    struct Swimmer {
        std::string num, birthDate;  // Licence.Num, date of birth yyyymmdd
        int birthYear = 0;
    };

    bool handleIndividual(const PerfFields& fields, int code, std::string& message);
    bool handleRelay(PerfFields& fields, int code, std::string& message);

    // swimmers.cpp
    bool findSwimmer(const PerfFields& fields, int code, std::string& message);
    std::string strCreerNageurPerf(const PerfFields& fields, int code, const std::string& birthDate,
                                   std::string& message);
    void ResoudreRelayeurs(PerfFields& fields);

    // perf_rows.cpp
    bool bInsererPerf(const PerfFields& fields, int code, long age, std::string& message);
    bool bInsererPerfRelais(const PerfFields& fields, int code, std::int64_t team, std::string& message);

    PerfRun& run_;
    const std::string reference_;
    long line_ = 0;
    // The club of the previous line, checked again only when it changes.
    std::optional<std::string> previousClub_;
    // The swimmer of the previous individual line, used again without a
    // lookup, and his key: club code + licence number.
    std::string key_;
    Swimmer swimmer_;
};

}  // namespace couloir::tessimor
