// How the web pages read the club database: one read transaction per
// answer, and rows as JSON objects of texts.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "shared/database.h"

namespace couloir::host::web {

std::unique_ptr<Database> openForReading(const std::string& path);

// The rows of a query as objects named by `names`, every value a text.
nlohmann::ordered_json rowsOf(Database& db, const Statement& query, const std::vector<const char*>& names);

}  // namespace couloir::host::web
