#include "shared/postgres_values.h"

#include <charconv>
#include <cstdlib>

#include "shared/text_date.h"

namespace couloir {
namespace {

// The type OIDs of PostgreSQL's catalog that read differently from text.
constexpr unsigned kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
                   kNumeric = 1700;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

double realOf(std::string_view sent) { return std::strtod(std::string(sent).c_str(), nullptr); }

// A numeric as SQLite's NUMERIC columns keep it: a whole number as an
// integer, any other as a real.
std::string numericText(std::string_view sent) {
    std::size_t point = sent.find('.');
    if (point == std::string_view::npos) return std::string(sent);
    if (sent.find_first_not_of('0', point + 1) == std::string_view::npos) {
        std::string whole(sent.substr(0, point));
        return whole == "-0" || whole.empty() ? "0" : whole;
    }
    return shortestDecimal(realOf(sent));
}

}  // namespace

bool isPostgresUri(std::string_view name) { return startsWith(name, "postgresql://") || startsWith(name, "postgres://"); }

std::string uriForDisplay(std::string_view uri) {
    std::size_t start = uri.find("://");
    if (start == std::string_view::npos) return std::string(uri);
    start += 3;
    std::size_t at = uri.find('@', start);
    std::size_t slash = uri.find('/', start);
    if (at == std::string_view::npos || (slash != std::string_view::npos && slash < at)) return std::string(uri);
    std::size_t colon = uri.find(':', start);
    if (colon == std::string_view::npos || colon > at) return std::string(uri);
    return std::string(uri.substr(0, colon)) + std::string(uri.substr(at));
}

std::string valueText(unsigned type, std::string_view sent) {
    switch (type) {
        case kBool: return sent == "t" ? "1" : "0";
        case kFloat4:
        case kFloat8: return shortestDecimal(realOf(sent));
        case kNumeric: return numericText(sent);
        default: return std::string(sent);
    }
}

bool isNumericType(unsigned type) {
    switch (type) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid:
        case kFloat4:
        case kFloat8:
        case kNumeric: return true;
        default: return false;
    }
}

std::string parameterText(const FieldValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, *real);  // shortest form that reads back exactly
        return std::string(buffer, result.ptr);
    }
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* boolean = std::get_if<bool>(&value)) return *boolean ? "true" : "false";
    return {};
}

void appendCopyField(std::string& line, const FieldValue& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        line += "\\N";
        return;
    }
    if (!std::holds_alternative<std::string>(value)) {
        line += parameterText(value);
        return;
    }
    for (char c : std::get<std::string>(value)) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
        }
    }
}

}  // namespace couloir
