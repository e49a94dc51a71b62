// The reference swimmer: the licence named "Null" that stands in an empty
// relay slot and for a relayer the database does not know.
#pragma once

#include <string>

#include "shared/database.h"

namespace couloir {

// His Num, or the empty text when the database has none.
std::string referenceSwimmer(Database& db);

// His Num, created under the code of the club named "Null" when absent.
std::string strNageurReference(Database& db);

}  // namespace couloir
