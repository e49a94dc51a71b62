#include "shared/text_date.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "shared/error.h"

namespace couloir {

// ---- characters -----------------------------------------------------------

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset of character `n`, or the text's size when it has fewer characters.
std::size_t byteOffset(std::string_view text, std::size_t n) {
    std::size_t i = 0;
    while (n > 0 && i < text.size()) {
        ++i;
        while (i < text.size() && isContinuation(text[i])) ++i;
        --n;
    }
    return i;
}
}  // namespace

std::size_t charCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if (!isContinuation(c)) ++n;
    return n;
}

std::string_view charSubstr(std::string_view utf8, std::size_t start, std::size_t count) {
    std::size_t from = byteOffset(utf8, start);
    std::string_view rest = utf8.substr(from);
    return rest.substr(0, byteOffset(rest, count));
}

std::string_view trim(std::string_view text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool isAsciiNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find(separator, start)) != std::string_view::npos; start = pos + 1)
        parts.emplace_back(text.substr(start, pos - start));
    parts.emplace_back(text.substr(start));
    return parts;
}

std::string_view rawField(std::string_view line, const std::vector<int>& widths, std::size_t field) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < field; ++i) offset += static_cast<std::size_t>(std::max(widths.at(i), 0));
    return charSubstr(line, offset, static_cast<std::size_t>(std::max(widths.at(field), 0)));
}

std::vector<std::string> cutFields(std::string_view line, const std::vector<int>& widths) {
    bool ascii = true;  // then characters are bytes
    for (char c : line) ascii &= static_cast<unsigned char>(c) < 0x80;
    std::vector<std::string> fields;
    fields.reserve(widths.size());
    std::size_t offset = 0;  // bytes
    for (int width : widths) {
        std::string_view rest = line.substr(std::min(offset, line.size()));
        auto count = static_cast<std::size_t>(std::max(width, 0));  // a width below one cuts an empty field
        std::string_view field = rest.substr(0, ascii ? count : byteOffset(rest, count));
        offset += field.size();
        fields.emplace_back(trim(field));
    }
    return fields;
}

// ---- SQL literals -----------------------------------------------------------

// ---- numbers ----------------------------------------------------------------

double numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; digits = true; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; digits = true; }
    }
    if (!digits) return 0.0;
    std::string number(text.substr(start, i - start));
    if (number[0] == '+') number.erase(0, 1);
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

std::string shortestDecimal(double value) {
    if (value == 0.0) return "0";  // also folds -0
    // The largest finite double has 309 digits before the point.
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

bool isResultsNotation(std::string_view text) {
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view decimals = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !whole.empty() && digits(whole) && digits(decimals);
}

std::string fourDecimalTime(std::string_view time) {
    if (trim(time).empty()) return {};
    std::array<char, 400> buffer{};  // room for the largest finite double
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), numericValue(time),
                                std::chars_format::fixed, 4);
    return std::string(buffer.data(), result.ptr);
}

std::int64_t checkedWhole(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) throw errors::typeMismatch();
    return static_cast<std::int64_t>(value);
}

std::int64_t roundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18) throw errors::overflow();
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int16_t toInt16(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw errors::overflow();
    return static_cast<std::int16_t>(value);
}

// ---- dates ------------------------------------------------------------------

namespace {
constexpr std::array<std::string_view, 12> kMonths = {"janvier", "février", "mars",      "avril",
                                                      "mai",     "juin",    "juillet",   "août",
                                                      "septembre", "octobre", "novembre", "décembre"};


int toInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}
}  // namespace

std::string_view frenchMonth(unsigned month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }

bool bDateValide(std::string_view year, std::string_view month, std::string_view day) {
    if (charCount(year) < 4 || month.empty() || day.empty()) return false;
    double d = numericValue(day), m = numericValue(month);
    return d >= 1 && d <= 31 && m >= 1 && m <= 12;
}

std::string strJjmmaaaaVersAaaammjj(std::string_view ddmmyyyy) {
    if (charCount(ddmmyyyy) != 8 || ddmmyyyy.size() != 8) return {};
    std::string_view day = ddmmyyyy.substr(0, 2), month = ddmmyyyy.substr(2, 2), year = ddmmyyyy.substr(4, 4);
    if (!bDateValide(year, month, day)) return {};
    return std::string(year) + std::string(month) + std::string(day);
}

std::string strAaaammjjVersJjmmaaaa(std::string_view yyyymmdd) {
    if (yyyymmdd.size() != 8 || charCount(yyyymmdd) != 8) return {};
    return std::string(yyyymmdd.substr(6, 2)) + std::string(yyyymmdd.substr(4, 2)) + std::string(yyyymmdd.substr(0, 4));
}

Date parseYyyymmdd(std::string_view yyyymmdd) {
    if (yyyymmdd.size() != 8 || !allDigits(yyyymmdd)) throw errors::typeMismatch();
    Date date{std::chrono::year{toInt(yyyymmdd.substr(0, 4))}, std::chrono::month{unsigned(toInt(yyyymmdd.substr(4, 2)))},
              std::chrono::day{unsigned(toInt(yyyymmdd.substr(6, 2)))}};
    if (!date.ok()) throw errors::typeMismatch();
    return date;
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isWholeNumber(std::string_view text) { return allDigits(!text.empty() && text[0] == '-' ? text.substr(1) : text); }

bool isRowNumber(std::string_view text) { return text.size() <= 10 && allDigits(text); }

std::string shortDate(Date date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", unsigned(date.day()), unsigned(date.month()),
                  int(date.year()));
    return text;
}

std::string formatYyyymmdd(Date date) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d%02u%02u", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()));
    return buffer.data();
}

std::string strDateLongue(std::string_view yyyymmdd, std::string_view pattern) {
    if (charCount(yyyymmdd) != 8) return {};
    Date date = parseYyyymmdd(yyyymmdd);
    unsigned day = unsigned(date.day());
    std::string dayText = std::to_string(day);
    if (pattern.empty() || pattern.substr(0, 2) == "dd") {
        if (day < 10) dayText = "0" + dayText;
    }
    return dayText + " " + std::string(frenchMonth(unsigned(date.month()))) + " " + std::to_string(int(date.year()));
}

Date parseLongDate(std::string_view text) {
    auto parts = split(trim(text), ' ');
    if (parts.size() != 3 || !allDigits(parts[0]) || !allDigits(parts[2])) throw errors::typeMismatch();
    for (unsigned m = 1; m <= 12; ++m) {
        if (parts[1] == kMonths[m - 1]) {
            Date date{std::chrono::year{toInt(parts[2])}, std::chrono::month{m}, std::chrono::day{unsigned(toInt(parts[0]))}};
            if (!date.ok()) throw errors::typeMismatch();
            return date;
        }
    }
    throw errors::typeMismatch();
}

std::int16_t iEcartJours(Date from, Date to) {
    auto days = (std::chrono::sys_days{to} - std::chrono::sys_days{from}).count();
    return toInt16(days);
}

// ---- fixed-width writing ----------------------------------------------------

namespace {
std::string justify(std::string_view text, int width, bool right) {
    if (width <= 0) return {};
    auto w = static_cast<std::size_t>(width);
    std::size_t length = charCount(text);
    if (length >= w) return std::string(charSubstr(text, 0, w));
    std::string padding(w - length, ' ');
    return right ? padding + std::string(text) : std::string(text) + padding;
}
}  // namespace

std::string strCadrerGauche(std::string_view text, int width) { return justify(text, width, false); }
std::string strCadrerDroite(std::string_view text, int width) { return justify(text, width, true); }

}  // namespace couloir
