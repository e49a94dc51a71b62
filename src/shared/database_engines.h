// The engines behind database.h; only database.cpp chooses between them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shared/database.h"

namespace couloir {

std::unique_ptr<Database> openSqliteDatabase(const std::string& path, const DatabaseOptions& options);
void createSqliteDatabase(const std::string& path, std::string_view script);

std::unique_ptr<Database> openPostgresDatabase(const std::string& uri, const DatabaseOptions& options);
void createPostgresDatabase(const std::string& uri, std::string_view script);

}  // namespace couloir
