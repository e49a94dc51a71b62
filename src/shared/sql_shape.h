// Splits a statement into its shape (the text with every literal value made a
// "?" parameter) and the values, so that statements differing only in their
// values share one compiled statement.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/database.h"

namespace couloir {

struct SqlShape {
    std::string text;                // the statement with "?" in place of its literals
    std::vector<FieldValue> values;  // the literals, in order
};

// Quoted texts (with doubled apostrophes) and numbers become parameters.
// Numbers after ORDER BY, GROUP BY or LIMIT keep their place in the text, as
// they name columns or counts there; statements other than SELECT, INSERT,
// UPDATE and DELETE are returned unchanged.
SqlShape shapeOf(std::string_view sql);

}  // namespace couloir
