// The club database's creation script for PostgreSQL, translated from the
// one script that creates a SQLite club database, so that both engines hold
// the same tables, columns, indexes and reference rows.
#pragma once

#include <string>
#include <string_view>

namespace couloir {

// Column types: counters are bigint keys numbered max + 1 when a row comes
// without one (as SQLite numbers them); texts are citext under the "C"
// collation (case folded for ASCII letters only, sorted by code point, as
// SQLite's NOCASE); booleans are boolean; integers bigint; reals double
// precision. Adds the citext extension and the First aggregate first.
std::string postgresScript(std::string_view clubScript);

}  // namespace couloir
