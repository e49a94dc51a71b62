#include "shared/sql_shape.h"

#include <charconv>
#include <string>

#include "shared/text_date.h"

namespace couloir {
namespace {

bool isIdentifierChar(char c) { return isAsciiNameChar(c) || static_cast<unsigned char>(c) >= 0x80; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool parameterizable(std::string_view sql) {
    std::string_view head = trim(sql);
    std::size_t end = 0;
    while (end < head.size() && isIdentifierChar(head[end])) ++end;
    std::string_view keyword = head.substr(0, end);
    return equalsNoCase(keyword, "SELECT") || equalsNoCase(keyword, "INSERT") || equalsNoCase(keyword, "UPDATE") ||
           equalsNoCase(keyword, "DELETE");
}

FieldValue numberValue(std::string_view digits) {
    if (digits.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t integer = 0;
        auto result = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
        if (result.ec == std::errc() && result.ptr == digits.data() + digits.size()) return integer;
    }
    double real = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), real);
    return real;
}

}  // namespace

SqlShape shapeOf(std::string_view sql) {
    SqlShape shape;
    if (!parameterizable(sql)) {
        shape.text = sql;
        return shape;
    }
    shape.text.reserve(sql.size());
    shape.values.reserve(16);
    bool numbersInline = false;  // after ORDER BY, GROUP BY or LIMIT
    std::size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == '\'') {
            std::size_t literal = i;
            std::size_t close = sql.find('\'', i + 1);
            std::string value;
            while (close != std::string_view::npos && close + 1 < sql.size() && sql[close + 1] == '\'') {
                value.append(sql.substr(i + 1, close - i));  // the text and one apostrophe of the pair
                i = close + 1;
                close = sql.find('\'', i + 1);
            }
            if (close == std::string_view::npos) {  // unterminated: leave it for the engine to report
                shape.text.append(sql.substr(literal));
                break;
            }
            value.append(sql.substr(i + 1, close - i - 1));
            shape.text += '?';
            shape.values.emplace_back(std::move(value));
            i = close + 1;
        } else if (c == '"' || c == '[' || c == '`') {
            char close = c == '[' ? ']' : c;
            std::size_t j = sql.find(close, i + 1);
            j = j == std::string_view::npos ? sql.size() : j + 1;
            shape.text.append(sql.substr(i, j - i));
            i = j;
        } else if (isIdentifierChar(c) && !isDigit(c)) {
            std::size_t j = i;
            while (j < sql.size() && isIdentifierChar(sql[j])) ++j;
            std::string_view word = sql.substr(i, j - i);
            if (equalsNoCase(word, "ORDER") || equalsNoCase(word, "GROUP") || equalsNoCase(word, "LIMIT"))
                numbersInline = true;
            shape.text.append(sql.substr(i, j - i));
            i = j;
        } else if (!numbersInline && (isDigit(c) || (c == '.' && i + 1 < sql.size() && isDigit(sql[i + 1])))) {
            std::size_t j = i;
            while (j < sql.size() && isDigit(sql[j])) ++j;
            if (j < sql.size() && sql[j] == '.') {
                ++j;
                while (j < sql.size() && isDigit(sql[j])) ++j;
            }
            if (j < sql.size() && (sql[j] == 'e' || sql[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < sql.size() && (sql[k] == '+' || sql[k] == '-')) ++k;
                if (k < sql.size() && isDigit(sql[k])) {
                    j = k;
                    while (j < sql.size() && isDigit(sql[j])) ++j;
                }
            }
            if (j < sql.size() && isIdentifierChar(sql[j])) {  // 12abc: not a number, keep it whole
                while (j < sql.size() && isIdentifierChar(sql[j])) ++j;
                shape.text.append(sql.substr(i, j - i));
            } else {
                shape.text += '?';
                shape.values.push_back(numberValue(sql.substr(i, j - i)));
            }
            i = j;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            std::size_t j = sql.find('\n', i);
            j = j == std::string_view::npos ? sql.size() : j;
            shape.text.append(sql.substr(i, j - i));
            i = j;
        } else {
            shape.text += c;
            ++i;
        }
    }
    return shape;
}

}  // namespace couloir
