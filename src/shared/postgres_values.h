// Values between the libraries and a PostgreSQL server, in the forms SQLite
// gives and takes: what a column reads as text, what a bound value or a
// COPY field is sent as.
#pragma once

#include <string>
#include <string_view>

#include "shared/database.h"

namespace couloir {

// Whether a database name is a PostgreSQL connection URI rather than a file.
bool isPostgresUri(std::string_view name);
// The URI without its password, for messages.
std::string uriForDisplay(std::string_view uri);

// What a field of type `type` (a PostgreSQL type OID) reads as text, as
// SQLite gives it: booleans "1" and "0", reals in the shortest decimal form,
// numerics holding a whole number as an integer; other types as sent.
std::string valueText(unsigned type, std::string_view sent);
// Whether values of the type are numbers (integers, reals, numerics, booleans).
bool isNumericType(unsigned type);

// A bound value as text; a Null value has none.
std::string parameterText(const FieldValue& value);
// Appends a value as a field of COPY's text format (tab-separated, \N for Null).
void appendCopyField(std::string& line, const FieldValue& value);

}  // namespace couloir
