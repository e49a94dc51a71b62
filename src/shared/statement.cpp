#include "shared/statement.h"

#include <charconv>

#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

// A text between apostrophes, its apostrophes doubled: O'Neil -> 'O''Neil'.
std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    out += '\'';
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// A whole number's text as a value: a 64-bit integer, or a real past its range.
FieldValue wholeValue(std::string_view digits) {
    std::int64_t integer = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
    if (ec == std::errc() && end == digits.data() + digits.size()) return integer;
    double real = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), real);
    return real;
}

}  // namespace

Statement Statement::changing(StatementTarget::Kind kind, std::string_view verb, std::string_view table) {
    Statement statement(verb);
    statement.sql(" ").name(table);
    statement.target_ = {kind, std::string(table)};
    return statement;
}

Statement& Statement::sql(std::string_view words) {
    text_ += words;
    return *this;
}

Statement& Statement::append(const Statement& part) {
    std::size_t offset = text_.size(), first = values_.size();
    text_ += part.text_;
    for (std::size_t mark : part.marks_) marks_.push_back(offset + mark);
    for (const auto& [index, spelling] : part.spellings_) spellings_.emplace_back(first + index, spelling);
    values_.insert(values_.end(), part.values_.begin(), part.values_.end());
    tablesRead_.insert(tablesRead_.end(), part.tablesRead_.begin(), part.tablesRead_.end());
    return *this;
}

Statement& Statement::name(std::string_view identifier) {
    checkIdentifier(identifier);
    text_ += identifier;
    return *this;
}

Statement& Statement::mark(FieldValue value) {
    marks_.push_back(text_.size());
    text_ += '?';
    values_.push_back(std::move(value));
    return *this;
}

Statement& Statement::text(std::string_view value) {
    // A server text cannot hold a NUL byte; a text cut there would be stored
    // short without a word, so it is refused on every engine alike.
    if (value.find('\0') != std::string_view::npos)
        throw Error(errors::kTypeMismatch, "Texte refusé : il contient le caractère nul");
    return mark(std::string(value));
}

Statement& Statement::number(std::string_view wholeNumber) {
    std::string_view number = trim(wholeNumber);
    if (!isWholeNumber(number)) throw errors::typeMismatch();
    FieldValue value = wholeValue(number);
    if (literalOf(value) != number) spellings_.emplace_back(values_.size(), number);
    return mark(std::move(value));
}

Statement& Statement::number(std::int64_t value) { return mark(value); }

Statement& Statement::decimal(std::string_view number) {
    std::string_view unsigned_ = !number.empty() && number[0] == '-' ? number.substr(1) : number;
    if (unsigned_.empty() || unsigned_[0] == '.' || !isResultsNotation(unsigned_)) throw errors::typeMismatch();
    if (number.find('.') == std::string_view::npos) return this->number(number);
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    if (literalOf(value) != number) spellings_.emplace_back(values_.size(), number);
    return mark(value);
}

Statement& Statement::real(double value) { return mark(value); }
Statement& Statement::boolean(bool value) { return mark(value); }

Statement& Statement::readsOnly(std::string_view table) {
    tablesRead_.emplace_back(table);
    return *this;
}

bool Statement::mayTouch(std::string_view table) const {
    if (tablesRead_.empty() || equalsNoCase(target_.table, table)) return true;
    for (const std::string& read : tablesRead_)
        if (equalsNoCase(read, table)) return true;
    return false;
}

std::string Statement::numbered() const {
    std::string text;
    text.reserve(text_.size() + marks_.size() * 2);
    std::size_t from = 0;
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        text.append(text_, from, marks_[i] - from);
        text += '$';
        text += std::to_string(i + 1);
        from = marks_[i] + 1;
    }
    text.append(text_, from);
    return text;
}

std::string Statement::shown() const {
    std::string text;
    std::size_t from = 0;
    auto spelling = spellings_.begin();
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        text.append(text_, from, marks_[i] - from);
        if (spelling != spellings_.end() && spelling->first == i) text += (spelling++)->second;
        else text += literalOf(values_[i]);
        from = marks_[i] + 1;
    }
    text.append(text_, from);
    return text;
}

std::string literalOf(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return quoted(*text);
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) return shortestDecimal(*real);
    if (const auto* boolean = std::get_if<bool>(&value)) return *boolean ? "true" : "false";
    return "Null";
}

void checkIdentifier(std::string_view name) {
    bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
    for (char c : name) plain = plain && isAsciiNameChar(c);
    if (!plain) throw Error(errors::kInvalidCall, "Nom de table ou de colonne incorrect : " + std::string(name));
}

}  // namespace couloir
