#include "perf_export/field_formats.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "shared/text_date.h"

namespace couloir::plessaud {

std::string zeroPadded(std::string_view number, int digits) {
    if (trim(number).empty()) return {};
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, checkedWhole(std::round(numericValue(number)))).ptr;
    std::string text(buffer, end);
    if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

std::string poolLength(std::string_view length) {
    return length == "25" || length == "50" ? std::string(length) : std::string();
}

std::string seasonStart(std::string_view yyyymmdd) {
    if (yyyymmdd.size() != 8 || yyyymmdd.find_first_not_of("0123456789") != std::string_view::npos) return {};
    int year = static_cast<int>(numericValue(yyyymmdd.substr(0, 4)));
    if (yyyymmdd.substr(4) < "0916") --year;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "1609%04d", year);
    return buffer;
}

RelayTeam::RelayTeam(std::string_view eventSex) {
    std::string sex = toUpperAscii(trim(eventSex));
    if (sex == "M") code_ = "R1", label_ = "MESSIEURS";
    else if (sex == "F") code_ = "R2", label_ = "DAMES";
    else code_ = "R3", label_ = "MIXTE";
}

std::string RelayTeam::licence(std::string_view teamNumber) const {
    return std::string(code_) + zeroPadded(teamNumber, 3) + "F";
}

std::string RelayTeam::name(std::string_view teamNumber) const {
    return "RELAIS " + std::string(label_) + " N° " + std::string(trim(teamNumber));
}

}  // namespace couloir::plessaud
