#include "perf_export/field_formats.h"


#include "shared/text_date.h"

namespace couloir::plessaud {

std::string poolLength(std::string_view length) {
    return length == "25" || length == "50" ? std::string(length) : std::string();
}

std::string seasonStartOfSwim(std::string_view yyyymmdd) {
    if (yyyymmdd.size() != 8 || !allDigits(yyyymmdd)) return {};
    auto number = [&](std::size_t from, std::size_t count) {
        return static_cast<int>(numericValue(yyyymmdd.substr(from, count)));
    };
    // Taken as written: a day the calendar lacks still falls before or after 16 September.
    return seasonStart(Date{std::chrono::year{number(0, 4)}, std::chrono::month(static_cast<unsigned>(number(4, 2))),
                            std::chrono::day(static_cast<unsigned>(number(6, 2)))});
}

RelayTeam::RelayTeam(std::string_view eventSex) : kind_(&relayKind(toUpperAscii(trim(eventSex)))) {}

}  // namespace couloir::plessaud
