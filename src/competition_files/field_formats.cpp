#include "competition_files/field_formats.h"

#include <cstdio>

#include "shared/text_date.h"

namespace couloir::vandrule {

std::string twoDigitEventCode(std::string_view code) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(checkedWhole(numericValue(code))));
    return buffer;
}

bool isTrue(std::string_view value) { return equalsNoCase(trim(value), "true") || numericValue(value) != 0; }

std::string strDebutSaison(std::string_view longDate) {
    Date date = parseLongDate(longDate);
    int year = int(date.year());
    if (date < Date{date.year(), std::chrono::September, std::chrono::day{16}}) --year;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "1609%04d", year);
    return buffer;
}

}  // namespace couloir::vandrule
