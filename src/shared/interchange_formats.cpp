#include "shared/interchange_formats.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace couloir {
namespace {
constexpr std::array<RelayKind, 3> kRelayKinds = {{{"R2", "Dames"}, {"R1", "Messieurs"}, {"R3", "Mixte"}}};
}  // namespace

const RelayKind& relayKind(std::string_view sex) {
    if (sex == "F") return kRelayKinds[0];
    if (sex == "M") return kRelayKinds[1];
    return kRelayKinds[2];
}

std::string relayLicence(const RelayKind& kind, std::string_view team) {
    return std::string(kind.code) + zeroPadded(team, 3) + "F";
}

std::string relayName(const RelayKind& kind, std::string_view team) {
    return "RELAIS " + toUpperAscii(kind.label) + " N° " + std::string(trim(team));
}

std::string zeroPadded(std::string_view number, int digits) {
    if (trim(number).empty()) return {};
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, checkedWhole(std::round(numericValue(number)))).ptr;
    std::string text(buffer, end);
    if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

std::string seasonStart(Date day) {
    int year = int(day.year());
    if (day < Date{day.year(), std::chrono::September, std::chrono::day{16}}) --year;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "1609%04d", year);
    return buffer;
}

}  // namespace couloir
