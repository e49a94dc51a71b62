// A statement as the libraries build it: its SQL words with a "?" mark where
// each value goes, and the values beside them, typed. Values never enter the
// text: the engine binds them, so no text read from a file can change what a
// statement does. The statement also knows which table it changes, for the
// report's counts, because the code that made it said so.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace couloir {

// A value bound to a statement or appended in a row: Null, a whole number, a
// real, a text, a boolean.
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string, bool>;

// The table a statement changes and how.
struct StatementTarget {
    enum class Kind { None, Insert, Update, Delete } kind = Kind::None;
    std::string table;  // as the statement spells it
};

class Statement {
public:
    Statement() = default;
    // A statement that changes no table (a query), from its first words.
    explicit Statement(std::string_view words) { sql(words); }

    // A statement that changes `table`, starting with `verb` as it is spelled
    // ("INSERT INTO", "Update", "delete from") followed by the table's name.
    static Statement insert(std::string_view verb, std::string_view table) {
        return changing(StatementTarget::Kind::Insert, verb, table);
    }
    static Statement update(std::string_view verb, std::string_view table) {
        return changing(StatementTarget::Kind::Update, verb, table);
    }
    static Statement remove(std::string_view verb, std::string_view table) {
        return changing(StatementTarget::Kind::Delete, verb, table);
    }
    // A whole statement written elsewhere (by the host), without values, and
    // the table it changes as read from its first words.
    static Statement written(std::string_view text, StatementTarget target) {
        Statement statement(text);
        statement.target_ = std::move(target);
        return statement;
    }

    // More words of the statement, written by the code, never read from a file.
    Statement& sql(std::string_view words);
    // Another statement's words and values, in place (a subquery).
    Statement& append(const Statement& part);
    // A name of the statement (a table or a column) chosen among the code's
    // own: letters, digits and "_" only, anything else is an internal error.
    Statement& name(std::string_view identifier);

    // The values, each one a mark.
    Statement& text(std::string_view value);
    // A whole number read from a file (digits, an optional minus sign,
    // blanks around); anything else is a type-mismatch error.
    Statement& number(std::string_view wholeNumber);
    Statement& number(std::int64_t value);
    // A number the code wrote (a time "65.3000", a normalised "94", "-2"):
    // a whole number when it has no point, a real otherwise; anything else is
    // a type-mismatch error.
    Statement& decimal(std::string_view number);
    Statement& real(double value);
    Statement& boolean(bool value);

    // Declares that the statement reads no table but `table` (and the others
    // so declared, and the one it changes), so that rows appended to another
    // table and not yet sent need not go before it. Without a declaration it
    // may read any table.
    Statement& readsOnly(std::string_view table);
    // Whether the statement may read or change `table`.
    bool mayTouch(std::string_view table) const;

    // The text with its "?" marks, as SQLite takes it.
    const std::string& marked() const { return text_; }
    // The text with $1, $2... for marks, as PostgreSQL takes it.
    std::string numbered() const;
    const std::vector<FieldValue>& values() const { return values_; }
    const StatementTarget& target() const { return target_; }
    // The statement with its values written in, as a message shows it.
    std::string shown() const;

private:
    static Statement changing(StatementTarget::Kind kind, std::string_view verb, std::string_view table);
    Statement& mark(FieldValue value);

    std::string text_;
    std::vector<FieldValue> values_;
    std::vector<std::size_t> marks_;  // where each value's "?" stands in text_
    std::vector<std::pair<std::size_t, std::string>> spellings_;  // values written otherwise than their canonical text
    StatementTarget target_;
    std::vector<std::string> tablesRead_;  // empty: any table
};

// A table or column name is a plain identifier (letters, digits, "_", not
// starting with a digit); any other is an internal error.
void checkIdentifier(std::string_view name);

// A value written as a literal of the statement: 'O''Neil', 12, 1.5, true, Null.
std::string literalOf(const FieldValue& value);

}  // namespace couloir
