#include "shared/change_counts.h"

#include <cctype>

#include "shared/text_date.h"

namespace couloir {
namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The next word of `sql` from `at`: a run of characters up to a space or an
// opening parenthesis; a bracketed or double-quoted name loses its quotes.
std::string_view nextWord(std::string_view sql, std::size_t& at) {
    while (at < sql.size() && isSpace(sql[at])) ++at;
    if (at < sql.size() && (sql[at] == '[' || sql[at] == '"')) {
        char close = sql[at] == '[' ? ']' : '"';
        std::size_t end = sql.find(close, at + 1);
        if (end == std::string_view::npos) end = sql.size();
        std::string_view word = sql.substr(at + 1, end - at - 1);
        at = end + 1;
        return word;
    }
    std::size_t start = at;
    while (at < sql.size() && !isSpace(sql[at]) && sql[at] != '(' && sql[at] != ';') ++at;
    return sql.substr(start, at - start);
}

bool is(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
    return true;
}

}  // namespace

StatementTarget statementTarget(std::string_view sql) {
    std::size_t at = 0;
    std::string_view first = nextWord(sql, at);
    if (is(first, "INSERT")) {
        if (!is(nextWord(sql, at), "INTO")) return {};
        return {StatementTarget::Kind::Insert, std::string(nextWord(sql, at))};
    }
    if (is(first, "UPDATE")) return {StatementTarget::Kind::Update, std::string(nextWord(sql, at))};
    if (is(first, "DELETE")) {
        // Jet's "DELETE * FROM t" and "DELETE t.* FROM t" name the table after FROM.
        for (int words = 0; words < 3; ++words)
            if (is(nextWord(sql, at), "FROM")) return {StatementTarget::Kind::Delete, std::string(nextWord(sql, at))};
    }
    return {};
}

TableChanges& ChangeCountingDatabase::entry(std::string_view table) {
    // A long run of statements on one table finds it without a lookup.
    if (last_ && lastSpelling_ == table) return *last_;
    auto [it, added] = changes_.try_emplace(toLowerAscii(table));
    if (added) it->second.table = std::string(table);
    last_ = &it->second;
    lastSpelling_ = std::string(table);
    return it->second;
}

void ChangeCountingDatabase::count(const StatementTarget& target, std::int64_t changed) {
    if (!counting_ || changed == 0 || target.table.empty()) return;
    TableChanges& counts = entry(target.table);
    switch (target.kind) {
        case StatementTarget::Kind::Insert: counts.inserted += changed; break;
        case StatementTarget::Kind::Update: counts.updated += changed; break;
        case StatementTarget::Kind::Delete: counts.deleted += changed; break;
        case StatementTarget::Kind::None: break;
    }
}

std::int64_t ChangeCountingDatabase::execute(const Statement& statement) {
    std::int64_t changed = engine_->execute(statement);
    count(statement.target(), changed);
    return changed;
}

void ChangeCountingDatabase::executeDeferred(const Statement& statement,
                                             const std::function<void(std::int64_t)>& changed) {
    engine_->executeDeferred(statement, [this, target = statement.target(), changed](std::int64_t rows) {
        count(target, rows);
        changed(rows);
    });
}

std::int64_t ChangeCountingDatabase::appendRow(std::string_view table,
                                               const std::vector<std::pair<std::string, FieldValue>>& fields) {
    std::int64_t counter = engine_->appendRow(table, fields);
    if (counting_) ++entry(table).inserted;
    return counter;
}

}  // namespace couloir
