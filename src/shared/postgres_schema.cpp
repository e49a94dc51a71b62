#include "shared/postgres_schema.h"

#include <optional>
#include <utility>
#include <vector>

#include "shared/text_date.h"

namespace couloir {
namespace {

// What the statements need beyond the tables: case-insensitive texts, the
// First aggregate (the first value of a group, Null included) and the
// numbering of counters.
constexpr std::string_view kPrologue = R"(CREATE EXTENSION IF NOT EXISTS citext;
CREATE FUNCTION couloir_first_step(anycompatiblearray, anycompatible) RETURNS anycompatiblearray
    LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 IS NULL THEN ARRAY[$2] ELSE $1 END';
CREATE FUNCTION couloir_first_final(anycompatiblearray) RETURNS anycompatible
    LANGUAGE sql IMMUTABLE AS 'SELECT $1[1]';
CREATE AGGREGATE First(anycompatible) (SFUNC = couloir_first_step, STYPE = anycompatiblearray,
    FINALFUNC = couloir_first_final);
CREATE FUNCTION couloir_next_counter() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    next bigint;
BEGIN
    EXECUTE format('SELECT coalesce(max(%I), 0) + 1 FROM %I.%I', TG_ARGV[0], TG_TABLE_SCHEMA, TG_TABLE_NAME)
        INTO next;
    NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], next));
    RETURN NEW;
END
$$;
)";

struct Token {
    std::string text;
    bool word;
};

// Words, quoted texts and single characters; comments are dropped.
std::vector<Token> tokensOf(std::string_view script) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < script.size()) {
        char c = script[i];
        std::size_t j = i + 1;
        if (c == '-' && j < script.size() && script[j] == '-') {
            i = script.find('\n', i);
            if (i == std::string_view::npos) break;
            continue;
        }
        if (c == '\'') {
            for (;;) {  // to the closing apostrophe, past doubled ones
                std::size_t close = script.find('\'', j);
                j = close == std::string_view::npos ? script.size() : close + 1;
                if (j >= script.size() || script[j] != '\'') break;
                ++j;
            }
        } else if (isAsciiNameChar(c)) {
            while (j < script.size() && isAsciiNameChar(script[j])) ++j;
        }
        tokens.push_back({std::string(script.substr(i, j - i)), isAsciiNameChar(c)});
        i = j;
    }
    return tokens;
}

// The index past `words` when the tokens from `at` on are those words with
// blanks between; none otherwise.
std::optional<std::size_t> match(const std::vector<Token>& tokens, std::size_t at,
                                 std::initializer_list<std::string_view> words) {
    for (std::string_view word : words) {
        while (at < tokens.size() && !tokens[at].word && trim(tokens[at].text).empty()) ++at;
        if (at >= tokens.size() || !equalsNoCase(tokens[at].text, word)) return std::nullopt;
        ++at;
    }
    return at;
}

// The triggers that number the counters of rows inserted without one, as
// SQLite numbers an INTEGER PRIMARY KEY: the largest so far plus one.
std::string countersOf(std::vector<std::pair<std::string, std::string>>& counters) {
    std::string out;
    for (const auto& [table, column] : counters)
        out += "\nCREATE TRIGGER " + table + "_" + column + "_counter BEFORE INSERT ON " + table +
               " FOR EACH ROW WHEN (NEW." + column + " IS NULL) EXECUTE FUNCTION couloir_next_counter('" +
               toLowerAscii(column) + "');";
    counters.clear();
    return out;
}

std::string translated(const std::vector<Token>& tokens) {
    std::string out, table, column;
    bool columnNext = false, booleanColumn = false;
    std::vector<std::pair<std::string, std::string>> counters;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (!token.word) {
            if (token.text == "(" || token.text == ",") columnNext = true;
            if (token.text == "," || token.text == ")") booleanColumn = false;
            out += token.text;
            if (token.text == ";") out += countersOf(counters);  // the table's own, before any row
            continue;
        }
        std::optional<std::size_t> past;
        if (auto created = match(tokens, i, {"CREATE", "TABLE"})) {
            std::size_t name = *created;
            while (name < tokens.size() && !tokens[name].word) ++name;
            if (name < tokens.size()) table = tokens[name].text;
            out += token.text;
        } else if ((past = match(tokens, i, {"INTEGER", "PRIMARY", "KEY"}))) {
            out += "bigint PRIMARY KEY";
            counters.emplace_back(table, column);
            i = *past - 1;
        } else if ((past = match(tokens, i, {"TEXT", "COLLATE", "NOCASE"})) || (past = match(tokens, i, {"TEXT"}))) {
            out += "citext COLLATE \"C\"";
            i = *past - 1;
        } else if (equalsNoCase(token.text, "INTEGER")) {
            out += "bigint";
        } else if (equalsNoCase(token.text, "REAL")) {
            out += "double precision";
        } else if (equalsNoCase(token.text, "BOOLEAN")) {
            out += "boolean";
            booleanColumn = true;
        } else if (booleanColumn && ((past = match(tokens, i, {"DEFAULT", "0"})) || (past = match(tokens, i, {"DEFAULT", "1"})))) {
            out += tokens[*past - 1].text == "0" ? "DEFAULT false" : "DEFAULT true";
            i = *past - 1;
        } else {
            if (columnNext) column = token.text;
            out += token.text;
        }
        columnNext = false;
    }
    return out;
}

}  // namespace

std::string postgresScript(std::string_view clubScript) {
    return std::string(kPrologue) + translated(tokensOf(clubScript));
}

}  // namespace couloir
